// SPDX-License-Identifier: MIT
#include "frame_buffer.h"
#include "run_time_error.h"

#include <QTest>

using namespace kestrin;

class TestFrameBuffer : public QObject
{
    Q_OBJECT

private slots:
    void writeLandsOnItsByteOnly_data();
    void writeLandsOnItsByteOnly();
};

void TestFrameBuffer::writeLandsOnItsByteOnly_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("valid");

    QTest::newRow("first byte") << 0 << 0 << true;
    QTest::newRow("spare corner") << 8 << 61 << true;
    QTest::newRow("page 9") << 9 << 0 << false;
    QTest::newRow("column 62") << 0 << 62 << false;
    QTest::newRow("negative page") << -1 << 0 << false;
}

// A new buffer reads all zero; a write changes its own byte and no other, and
// an address outside pages 0..8 and columns 0..61 throws without writing.
void TestFrameBuffer::writeLandsOnItsByteOnly()
{
    QFETCH(int, page);
    QFETCH(int, column);
    QFETCH(bool, valid);

    FrameBuffer buffer;
    if (valid) {
        buffer.write(page, column, 0xA5);
    } else {
        QVERIFY_THROWS_EXCEPTION(SubscriptError, buffer.write(page, column, 0xA5));
        QVERIFY_THROWS_EXCEPTION(SubscriptError, (void)buffer.read(page, column));
    }
    for (int p = 0; p < FrameBuffer::kDeclaredPages; ++p) {
        for (int c = 0; c < FrameBuffer::kDeclaredColumns; ++c)
            QCOMPARE(buffer.read(p, c), valid && p == page && c == column ? 0xA5 : 0);
    }
}

QTEST_GUILESS_MAIN(TestFrameBuffer)
#include "tst_frame_buffer.moc"
