// SPDX-License-Identifier: MIT
#include "reference_pages.h"

#include <QFile>
#include <QStringList>
#include <QTest>

namespace kestrin::test {

FrameBuffer referencePages()
{
    FrameBuffer pages;
    QFile file(QStringLiteral(KESTRIN_TEST_DATA_DIR "/reference_pages.hex"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTest::qFail("cannot open reference_pages.hex", __FILE__, __LINE__);
        return pages;
    }
    const QStringList lines = QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts);
    if (lines.size() != kPageCount)
        QTest::qFail("reference_pages.hex must hold eight lines", __FILE__, __LINE__);
    for (int page = 0; page < std::min<int>(kPageCount, lines.size()); ++page) {
        const QStringList bytes = lines.at(page).split(' ', Qt::SkipEmptyParts);
        if (bytes.size() != kPageColumns)
            QTest::qFail("a reference page must hold 61 bytes", __FILE__, __LINE__);
        for (int column = 0; column < std::min<int>(kPageColumns, bytes.size()); ++column)
            pages.write(page, column, static_cast<std::uint8_t>(bytes.at(column).toUInt(nullptr, 16)));
    }
    return pages;
}

} // namespace kestrin::test
