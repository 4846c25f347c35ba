// SPDX-License-Identifier: MIT
#include "distinct_pages.h"
#include "frame_formats.h"

#include <QTest>

using namespace kestrin;

class TestFrameFormats : public QObject
{
    Q_OBJECT

private slots:
    void placesRoundTripsAndNames();
    void badInput_data();
    void badInput();
};

// Display pixel (61, 16) is bit 0 of page 6, column 0: octet 366 of a .bin,
// line 17 column 62 of a .txt. Every byte value survives both, and a .txt
// reads back with CRLF, without its last line end and after a byte-order
// mark. A header's array is named after its file.
void TestFrameFormats::placesRoundTripsAndNames()
{
    FrameBuffer single;
    single.write(6, 0, 0x01);
    QCOMPARE(QByteArray::fromStdString(toBinary(single)), QByteArray(366, 0) + '\x01' + QByteArray(121, 0));
    QVERIFY(toText(single).find('#') == 16 * 123 + 61 && toText(single).rfind('#') == 16 * 123 + 61);

    const FrameBuffer frame = testing::distinctPages();
    QByteArray crlf = QByteArray::fromStdString(toText(frame)).replace("\n", "\r\n");
    crlf.chop(2);
    QVERIFY(fromBinary(toBinary(frame)) == frame);
    QVERIFY(fromText(toText(frame)) == frame);
    QVERIFY(fromText(crlf.toStdString()) == frame);
    QVERIFY(fromText("\xEF\xBB\xBF" + crlf.toStdString()) == frame);

    for (const auto &[file, name] : {std::pair("out.d/my  logo-2.h", "my_logo_2"), std::pair("2x.h", "frame_2x"),
                                     std::pair("int.h", "frame_int"), std::pair("__.h", "frame")}) {
        QCOMPARE(cIdentifier(file), name);
        QVERIFY(toCHeader(frame, file).find(std::string("uint8_t ") + name + "[8][61]") != std::string::npos);
    }
}

void TestFrameFormats::badInput_data()
{
    QTest::addColumn<bool>("isText");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");

    const QByteArray frame = QByteArray::fromStdString(toText(FrameBuffer{}));
    QTest::newRow(".bin one octet short") << false << QByteArray(487, 0) << "has 487 octets; a .bin frame has exactly 488";
    QTest::newRow(".bin one octet over") << false << QByteArray(489, 0) << "has 489 octets; a .bin frame has exactly 488";
    QTest::newRow("bad character") << true << QByteArray(frame).replace(123 * 4 + 9, 1, "o")
                                   << "line 5, column 10: 'o' is neither '#' (dark) nor '.' (clear)";
    QTest::newRow("tab") << true << QByteArray(frame).replace(121, 1, "\t")
                         << "line 1, column 122: byte 0x09 is neither '#' (dark) nor '.' (clear)";
    QTest::newRow("short line") << true << QByteArray(frame).remove(123 * 31, 1)
                                << "line 32 has 121 characters; every line of a .txt frame has 122";
    QTest::newRow("line missing") << true << frame.first(123 * 31)
                                  << "has 31 lines; a .txt frame has 32 lines of 122 characters";
    QTest::newRow("empty line after the last") << true << frame + '\n'
                                               << "has 33 lines; a .txt frame has 32 lines of 122 characters";
}

void TestFrameFormats::badInput()
{
    QFETCH(bool, isText);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    try {
        (void)(isText ? fromText(bytes.toStdString()) : fromBinary(bytes.toStdString()));
        QFAIL("accepted");
    } catch (const FrameFormatError &error) {
        QCOMPARE(QString::fromStdString(error.what()), message);
    }
}

QTEST_GUILESS_MAIN(TestFrameFormats)
#include "tst_frame_formats.moc"
