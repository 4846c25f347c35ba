// SPDX-License-Identifier: MIT
#include "reference_pages.h"

#include <QFile>
#include <QTest>

namespace kestrin::test {

FrameBuffer referencePages()
{
    FrameBuffer pages;
    QFile file(QStringLiteral(KESTRIN_TEST_DATA_DIR "/reference_pages.hex"));
    const QList<QByteArray> lines = file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().split('\n')
                                                                   : QList<QByteArray>{};
    for (int page = 0; page < kPageCount; ++page) {
        const QByteArray bytes = QByteArray::fromHex(lines.value(page));
        if (lines.size() != kPageCount || bytes.size() != kPageColumns) {
            QTest::qFail("reference_pages.hex must hold eight lines of 61 hex bytes", __FILE__, __LINE__);
            return pages;
        }
        for (int column = 0; column < kPageColumns; ++column)
            pages.write(page, column, static_cast<std::uint8_t>(bytes.at(column)));
    }
    return pages;
}

} // namespace kestrin::test
