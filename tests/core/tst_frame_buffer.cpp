// SPDX-License-Identifier: MIT
#include "frame_buffer.h"
#include "run_time_error.h"

#include <QTest>

using namespace kestrin;

class TestFrameBuffer : public QObject
{
    Q_OBJECT

private slots:
    void startsAllZero();
    void writeTouchesOnlyItsByte();
    void bounds_data();
    void bounds();
};

void TestFrameBuffer::startsAllZero()
{
    const FrameBuffer buffer;
    for (int page = 0; page < FrameBuffer::kDeclaredPages; ++page) {
        for (int column = 0; column < FrameBuffer::kDeclaredColumns; ++column)
            QCOMPARE(buffer.read(page, column), 0);
    }
}

// A write lands at its own address only: no aliasing between pages and columns.
void TestFrameBuffer::writeTouchesOnlyItsByte()
{
    for (const auto &[page, column] : {std::pair{0, 0}, {7, 60}, {3, 17}, {8, 61}}) {
        FrameBuffer buffer;
        buffer.write(page, column, 0xA5);
        for (int p = 0; p < FrameBuffer::kDeclaredPages; ++p) {
            for (int c = 0; c < FrameBuffer::kDeclaredColumns; ++c)
                QCOMPARE(buffer.read(p, c), (p == page && c == column) ? 0xA5 : 0);
        }
    }
}

void TestFrameBuffer::bounds_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("valid");

    QTest::newRow("spare page 8") << 8 << 0 << true;
    QTest::newRow("spare column 61") << 0 << 61 << true;
    QTest::newRow("spare corner") << 8 << 61 << true;
    QTest::newRow("page 9") << 9 << 0 << false;
    QTest::newRow("column 62") << 0 << 62 << false;
    QTest::newRow("negative page") << -1 << 0 << false;
    QTest::newRow("negative column") << 0 << -1 << false;
    QTest::newRow("column past the row end, not wrapped") << 0 << 62 + 61 << false;
}

void TestFrameBuffer::bounds()
{
    QFETCH(int, page);
    QFETCH(int, column);
    QFETCH(bool, valid);

    FrameBuffer buffer;
    if (valid) {
        buffer.write(page, column, 0x5A);
        QCOMPARE(buffer.read(page, column), 0x5A);
        return;
    }
    const FrameBuffer before = buffer;
    QVERIFY_THROWS_EXCEPTION(SubscriptError, buffer.write(page, column, 0x5A));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, (void)buffer.read(page, column));
    QVERIFY(buffer == before);
}

QTEST_GUILESS_MAIN(TestFrameBuffer)
#include "tst_frame_buffer.moc"
