#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Writes the seed corpus of fuzz_reception into corpus/: scripts in the operation
# encoding of ReceptionSession (reception_session.h). Run it when either changes.
import shutil
from pathlib import Path

RECEIVE, REQUEST, EVENT, EDIT, FAIL_WRITE, GAP, RESUME, STOP, RESET = range(9)


def receive(*texts):
    return b"".join(bytes([RECEIVE, len(text)]) + text.encode("latin-1") for text in texts)


def request(*numbers):
    return bytes(byte for n in numbers for byte in (REQUEST, n + 1))


def op(code, *args):
    return bytes([code, *args])


GREETING = receive("7")


def nested(depth, queued=0, then=b""):
    # A request in the first yield of each page down to `depth`, then `queued` more.
    script = GREETING + op(GAP, 0) + request(2)
    for level in range(depth - 1):
        script += op(GAP, 0) + request(level % 9)
    return script + request(*(k % 9 for k in range(queued))) + then + op(RESUME) * 2


SEEDS = {
    "empty": b"",
    "greeting-only": GREETING,
    "greeting-not-a-number": receive("hallo") + GREETING + request(1),
    **{f"request-{n}": GREETING + request(n) for n in range(9)},
    "rejected-9-minus-1-12-abc": GREETING + request(9, -1, 10) + receive("12", "abc", "", "3a"),
    "blanks-around-3": GREETING + receive(" 3 ", "\t3\r\n", "  "),
    "halves-to-even": GREETING + receive("2.5", "3.5", "-0.5", "0.5", ".5", "4.", "7.50001"),
    "every-single-byte": GREETING + receive(*map(chr, range(256))),
    "port-events": GREETING + b"".join(op(EVENT, k) for k in range(20)) + request(3),
    "edit-inside-page": GREETING + op(GAP, 10) + request(1) + op(EDIT, 0, 11, 0xAA)
    + op(EDIT, 0, 3, 0x55) + op(EDIT, 0, 60, 0x0A) + op(RESUME),
    "request-inside-page": GREETING + op(GAP, 20) + request(1, 5) + op(RESUME),
    "rejected-inside-page": GREETING + op(GAP, 3) + request(2, 9) + receive("abc") + op(RESUME),
    "nested-to-limit": nested(8),
    "flood-past-limit": nested(8, queued=12),
    "stop-inside-page": GREETING + op(GAP, 7) + request(3) + op(STOP),
    "stop-in-nested-page": nested(4, then=op(GAP, 2) + op(RESUME) + op(STOP)),
    "stop-with-waiting-requests": nested(8, queued=4, then=op(STOP)),
    "write-fails-mid-page": GREETING + op(FAIL_WRITE, 30) + request(1, 2),
    "write-fails-in-nested-page": nested(3, then=op(FAIL_WRITE, 5)) + request(6),
    "write-fails-with-waiting-requests": nested(8, queued=3, then=op(FAIL_WRITE, 0)),
    "reset-then-new-greeting": GREETING + request(1) + op(RESET) + request(2, 3),
    "reset-drops-waiting-requests": nested(8, queued=3, then=(op(FAIL_WRITE, 0) + op(RESUME)) * 8)
    + op(RESET) + request(2, 3),
}


corpus = Path(__file__).resolve().parent / "corpus"
shutil.rmtree(corpus, ignore_errors=True)
corpus.mkdir()
for name, script in SEEDS.items():
    (corpus / name).write_bytes(script)
print(f"{len(SEEDS)} seeds in {corpus}")
