// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QMimeData;

namespace kestrin {

enum class FileKind { Picture, Frame, Refused };

// What a drop offers: one local file that is a picture (any image Qt reads)
// or a frame file (.bin, .txt), or why it cannot be taken. A drag that
// carries no file at all is refused without a reason: it is no file drop.
struct DroppedFile
{
    FileKind kind = FileKind::Refused;
    QString path;
    QString refusal; // one line, when refused
};

[[nodiscard]] DroppedFile droppedFile(const QMimeData &data);

} // namespace kestrin
