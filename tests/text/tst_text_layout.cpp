// SPDX-License-Identifier: MIT
#include "builtin_font.h"
#include "text_layout.h"
#include "utf8.h"

#include <QPoint>
#include <QTest>

using namespace kestrin;

using Boxes = QList<QPoint>;
using H = HorizontalAlignment;
using V = VerticalAlignment;

namespace {

void addRow(const char *name, const QByteArray &text, const TextLayout &layout, const Boxes &boxes)
{
    QTest::newRow(name) << text << layout << boxes;
}

} // namespace

class TestTextLayout : public QObject
{
    Q_OBJECT

private slots:
    // Each \xFF is ill-formed UTF-8 and becomes U+FFFD, which the built-in
    // font lacks: it draws its replacement box, a 5 x 7 outline one column
    // right of the cell's left edge. The rows list where those boxes'
    // top-left corners land. Cells are 6 x 8; tab stops are 24 pixels apart.
    void layout_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<TextLayout>("layout");
        QTest::addColumn<Boxes>("boxes");
        Boxes tooWide;
        for (int x = -1; x < 122; x += 6)
            tooWide << QPoint(x, 0);

        addRow("left top, two lines", "\xFF\xFF\n\xFF", {H::Left, V::Top}, {{1, 0}, {7, 0}, {1, 8}});
        addRow("centre middle, each line on its own", "\xFF\n\xFF\xFF\xFF", {H::Center, V::Middle},
               {{59, 8}, {53, 16}, {59, 16}, {65, 16}});
        addRow("right bottom, CRLF, a final line end", "\xFF\r\n\xFF\xFF\r\n", {H::Right, V::Bottom},
               {{117, 16}, {111, 24}, {117, 24}});
        addRow("five lines, middle: cut at both ends", "\xFF\n\xFF\n\xFF\n\xFF\n\xFF", {H::Left, V::Middle},
               {{1, -4}, {1, 4}, {1, 12}, {1, 20}, {1, 28}});
        addRow("126 pixels, centred: cut on both sides", QByteArray(21, '\xFF'), {H::Center, V::Top}, tooWide);
        addRow("invert", "\xFF", {H::Left, V::Top, true}, {{1, 0}});
        addRow("tabs; other control characters take no room", "\xFF\t\xFF\x1B\x7F\xC2\x85\xFF\t\t\xFF",
               {H::Left, V::Top}, {{1, 0}, {25, 0}, {31, 0}, {73, 0}});
    }

    void layout()
    {
        QFETCH(QByteArray, text);
        QFETCH(TextLayout, layout);
        QFETCH(Boxes, boxes);
        DisplayBitmap expected;
        for (const QPoint &box : boxes) {
            for (int y = 0; y < 7; ++y) {
                for (int x = 0; x < 5; ++x)
                    expected.set(box.x() + x, box.y() + y, x == 0 || x == 4 || y == 0 || y == 6);
            }
        }
        if (layout.invert)
            expected.invert();
        QVERIFY(renderText(text.toStdString(), BuiltinFont(), layout) == expected);
    }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("strict");
        QTest::addColumn<QString>("latin1OrUtf8");
        QTest::newRow("2, 3 and 4 bytes") << QByteArray("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80") << u"é€😀"_qs << u"é€😀"_qs;
        QTest::newRow("overlong '/'") << QByteArray("\xC0\xAF") << u"\uFFFD\uFFFD"_qs << u"À¯"_qs;
        QTest::newRow("overlong 3 bytes") << QByteArray("\xE0\x80\xAF") << u"\uFFFD\uFFFD\uFFFD"_qs << u"à\u0080¯"_qs;
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << u"\uFFFD\uFFFD\uFFFD"_qs << u"í\u00A0\u0080"_qs;
        QTest::newRow("above U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << u"\uFFFD\uFFFD\uFFFD\uFFFD"_qs
                                        << u"ô\u0090\u0080\u0080"_qs;
        QTest::newRow("U+10FFFF after a cut") << QByteArray("\xF4\x8F\xF4\x8F\xBF\xBF") << u"\uFFFD\U0010FFFF"_qs
                                              << u"ô\u008F\U0010FFFF"_qs;
        QTest::newRow("Latin-1 mixed, cut short") << QByteArray("caf\xE9 \xE2\x82\xAC" "5") << u"caf\uFFFD €5"_qs
                                                  << u"café €5"_qs;
    }

    void decoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, strict);
        QFETCH(QString, latin1OrUtf8);
        QCOMPARE(QString::fromStdU32String(decodeUtf8(bytes.toStdString())), strict);
        QCOMPARE(QString::fromStdU32String(decodeLatin1OrUtf8(bytes.toStdString())), latin1OrUtf8);
    }
};

QTEST_GUILESS_MAIN(TestTextLayout)
#include "tst_text_layout.moc"
