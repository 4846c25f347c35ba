// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class QImageReader;

namespace kestrin {

class QuietDecoding;

// Throws RunTimeError "<path>: <reason>", the one line a user reads.
[[noreturn]] void failOn(const QString &path, const QString &reason);

// Bounds a reader before it decodes: a display of 122 x 32 pixels needs no
// more than 50 megapixels, so a hostile file that declares more is refused
// before anything is decoded, and Qt's own limit catches a decoder that
// allocates more than the declared size would need. Returns the size the
// file declares.
QSize boundReader(QImageReader &reader, const QString &path);

// After a read: a truncated file, or one nothing was decoded from
// (decoded false), ends in the one line that says why.
void checkDecoded(const QImageReader &reader, const QuietDecoding &quiet, const QString &path, bool decoded);

} // namespace kestrin
