#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the seed corpus of fuzz_reception into corpus/.

Each seed is a script in the operation encoding of ReceptionSession; see
reception_session.h. Run by hand when the encoding or the seeds change.
"""
from pathlib import Path

RECEIVE, REQUEST, EVENT, START, EDIT, CONVERT, FAIL_WRITE, GAP, RESUME, STOP, RESET = range(11)


def receive(text):
    data = text if isinstance(text, bytes) else text.encode("latin-1")
    out = b""
    while True:
        chunk, data = data[:255], data[255:]
        out += bytes([RECEIVE, len(chunk)]) + chunk
        if not data:
            return out


def request(n):
    """The reception of the decimal text of n, for n in -1..10."""
    return bytes([REQUEST, n + 1])


def op(code, *args):
    return bytes([code, *args])


GREETING = receive("7")
CONVERTED = op(CONVERT, 42) + GREETING


def nested(depth, queued=0, then=b""):
    """A served page interrupted by further requests until `depth` pages are
    open, then `queued` more requests while the innermost page yields."""
    script = op(GAP, 0) + request(2)
    for level in range(depth - 1):
        script += op(GAP, 0) + request(level % 9)
    script += b"".join(request(k % 9) for k in range(queued)) + then
    return CONVERTED + script + op(RESUME) * 2


SEEDS = {
    "empty": b"",
    "greeting-only": GREETING,
    "greeting-not-a-number": receive("hallo") + GREETING + request(1),
    **{f"request-{n}": CONVERTED + request(n) for n in range(9)},
    "request-9-and-minus-1": CONVERTED + request(9) + request(-1) + request(10),
    "blanks-around": CONVERTED + receive(" 3 ") + receive("\t3\r\n") + receive("  "),
    "fractions": CONVERTED + b"".join(
        receive(t) for t in ["2.5", "3.5", "-0.5", "0.5", "4.", ".5", "1.4999", "7.50001"]),
    "signs": CONVERTED + b"".join(receive(t) for t in ["+7", "-0", "+-1", "--1", "-", "+", "."]),
    "not-numbers": CONVERTED + b"".join(
        receive(t) for t in ["abc", "1e3", "0x3", "3 4", "3.4.5", "1,5", "3\0", "\v3"]),
    "two-digits": CONVERTED + receive("12") + receive("10") + receive("08"),
    "huge-numbers": CONVERTED + b"".join(receive(t) for t in [
        "2147483647", "2147483648", "-2147483648", "-2147483649", "2147483647.5",
        "2147483646.5", "99999999999999999999999", "00000000000000000003",
        "3.50000000000000000001", "4294967296", "-4294967297.9"]),
    "bytes-0-255": CONVERTED + receive(bytes(range(256))),
    "every-single-byte": CONVERTED + b"".join(receive(bytes([b])) for b in range(256)),
    "flood": CONVERTED + request(2) * 120,
    "flood-of-rejects": CONVERTED + receive("x") * 100 + request(1),
    "port-events": CONVERTED + b"".join(op(EVENT, k) for k in range(32)) + request(3),
    "line-errors-between-requests": CONVERTED + op(EVENT, 1) + request(1) + op(EVENT, 2)
    + request(5) + op(EVENT, 4),
    "start-before-greeting": op(CONVERT, 9) + op(START) + GREETING + op(START) + request(4),
    "start-inside-page": CONVERTED + op(GAP, 5) + request(1) + op(START) + op(RESUME),
    "edit-inside-page": CONVERTED + op(GAP, 10) + request(1) + op(EDIT, 0, 11, 0xAA)
    + op(EDIT, 0, 60, 0x0A) + op(EDIT, 0, 3, 0x55) + op(RESUME),
    "convert-inside-page": CONVERTED + op(GAP, 30) + request(0) + op(CONVERT, 200) + op(RESUME),
    "control-bytes": GREETING + op(EDIT, 0, 0, 0x0A) + op(EDIT, 0, 1, 0x0D) + op(EDIT, 0, 2, 0x00)
    + op(EDIT, 0, 3, 0xFF) + op(EDIT, 0, 4, 0x1A) + request(1) + request(8),
    "request-inside-page": CONVERTED + op(GAP, 20) + request(1) + request(5) + op(RESUME),
    "invalid-inside-page": CONVERTED + op(GAP, 3) + request(2) + receive("abc") + request(9)
    + op(EVENT, 2) + op(RESUME),
    "nested-to-limit": nested(8),
    "nested-past-limit": nested(8, queued=12),
    "stop-inside-page": CONVERTED + op(GAP, 7) + request(3) + op(STOP),
    "stop-in-nested-page": nested(4, then=op(GAP, 2) + op(RESUME) + op(STOP)),
    "stop-with-waiting-requests": nested(8, queued=4, then=op(STOP)),
    "write-fails-mid-page": CONVERTED + op(FAIL_WRITE, 30) + request(1) + request(2),
    "write-fails-in-start": CONVERTED + op(FAIL_WRITE, 0) + op(START) + op(START),
    "write-fails-in-nested-page": nested(3, then=op(FAIL_WRITE, 5)) + request(6),
    "write-fails-with-waiting-requests": nested(8, queued=3, then=op(FAIL_WRITE, 0)),
    "reset-then-new-greeting": CONVERTED + request(1) + op(RESET) + request(2) + request(3),
}


def main():
    corpus = Path(__file__).resolve().parent / "corpus"
    corpus.mkdir(exist_ok=True)
    for name, script in SEEDS.items():
        (corpus / name).write_bytes(script)
    print(f"{len(SEEDS)} seeds in {corpus}")


if __name__ == "__main__":
    main()
