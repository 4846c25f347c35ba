// SPDX-License-Identifier: MIT
#pragma once

#include "frame_buffer.h"

#include <QFile>
#include <QList>

namespace kestrin::testing {

// What the built-in pictures convert to, from tests/data/reference_pages.hex:
// one line of 61 hex bytes per page, pages 0..7.
inline FrameBuffer referencePages()
{
    QFile file(QStringLiteral(KESTRIN_TEST_DATA_DIR "/reference_pages.hex"));
    FrameBuffer frame;
    if (!file.open(QIODevice::ReadOnly))
        return frame;
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    for (int page = 0; page < kPageCount && page < lines.size(); ++page) {
        const QByteArray octets = QByteArray::fromHex(lines[page]);
        for (int column = 0; column < kPageColumns && column < octets.size(); ++column)
            frame.write(page, column, static_cast<std::uint8_t>(octets[column]));
    }
    return frame;
}

} // namespace kestrin::testing
