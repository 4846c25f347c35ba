// SPDX-License-Identifier: MIT
#include "font_file.h"
#include "text_layout.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrin;

namespace {

constexpr auto kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Ascent 5, descent 2, one 7-pixel size. 'A' leans, 'g' hangs two rows
// below the baseline and sits one column right of the pen, 'j' one column
// left of it. BBX is width, height and the x and y offsets from the pen on
// the baseline; the rows are in hex.
constexpr auto kTinyBdf =
    "STARTFONT 2.1\nFONT -kestrin-tiny-medium-r-normal--7-70-75-75-p-40-iso10646-1\nSIZE 7 75 75\n"
    "FONTBOUNDINGBOX 4 7 -1 -2\nSTARTPROPERTIES 5\nPIXEL_SIZE 7\nFONT_ASCENT 5\nFONT_DESCENT 2\n"
    "CHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\nENDPROPERTIES\nCHARS 3\n"
    "STARTCHAR A\nENCODING 65\nSWIDTH 500 0\nDWIDTH 4 0\nBBX 3 5 0 0\nBITMAP\n40\nA0\nE0\nA0\n80\nENDCHAR\n"
    "STARTCHAR g\nENCODING 103\nSWIDTH 500 0\nDWIDTH 5 0\nBBX 3 5 1 -2\nBITMAP\nE0\nA0\n60\n20\nC0\nENDCHAR\n"
    "STARTCHAR j\nENCODING 106\nSWIDTH 500 0\nDWIDTH 2 0\nBBX 2 7 -1 -2\nBITMAP\n40\n00\n40\n40\n40\n40\n80\nENDCHAR\n"
    "ENDFONT\n";

// The pixels of an area of the display, '#' dark, '.' clear.
QStringList area(const DisplayBitmap &bitmap, int left, int top, int width, int height)
{
    QStringList rows;
    for (int y = top; y < top + height; ++y) {
        rows << QString(width, u'.');
        for (int x = 0; x < width; ++x)
            rows.back()[x] = bitmap.dark(left + x, y) ? u'#' : u'.';
    }
    return rows;
}

} // namespace

class TestFontFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QFile bdf(m_dir.filePath("tiny.bdf"));
        QVERIFY(bdf.open(QIODevice::WriteOnly) && bdf.write(kTinyBdf) > 0 && bdf.flush());
        const int converted = QProcess::execute("bdftopcf", {"-o", m_dir.filePath("tiny.pcf"), bdf.fileName()});
        if (converted == -2)
            return; // not installed: the PCF rows are skipped
        QCOMPARE(converted, 0);
        QCOMPARE(QProcess::execute("gzip", {"-k", m_dir.filePath("tiny.pcf")}), 0);
    }

    void bitmapFont_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *file : {"tiny.bdf", "tiny.pcf", "tiny.pcf.gz"})
            QTest::newRow(file) << m_dir.filePath(file);
    }

    // "Aj?g" centred: 16 pixels wide, so the pen starts at (122 - 16) / 2; the
    // line's top at (32 - 7) / 2, rounded down. '?' is missing and draws the
    // box of a font without a digit zero: 3 x 5 from the line's top, a column
    // right of the pen, advance 5.
    void bitmapFont()
    {
        QFETCH(QString, file);
        if (!QFile::exists(file))
            QSKIP("bdftopcf is not installed");
        const DisplayBitmap bitmap = renderText("Aj?g", *loadFontFile(file.toStdString(), 7),
                                                {HorizontalAlignment::Center, VerticalAlignment::Middle, false});
        const QStringList expected{".#..#..###......", "#.#....#.#......", "###.#..#.#..###.", "#.#.#..#.#..#.#.",
                                   "#...#..###...##.", "....#.........#.", "...#........##.."};
        QCOMPARE(area(bitmap, 53, 12, 16, 7), expected);
        QCOMPARE(area(bitmap, 0, 0, 122, 32).join("").count(u'#'), expected.join("").count(u'#'));
    }

    // Monochrome hinting draws DejaVu Sans at 16 px with one-pixel strokes
    // and narrows its advances (H 12, e 9, l 3, o 10; grey rendering gives 40
    // for "Hello"). Grey pixels thresholded would thicken the turns of the 's'.
    void outlineFontInOneBit()
    {
        const std::unique_ptr<Font> font = loadFontFile(kDejaVuSans, 16);
        QCOMPARE(textWidth(U"Hello", *font), 37);
        QCOMPARE(loadFontFile(kDejaVuSans)->lineHeight(), 19); // 16 px by default; line spacing 1.164 em
        DisplayBitmap bitmap;
        QCOMPARE(drawText(bitmap, 0, 0, U"s\u4E00", *font), 19);
        const QStringList s{"..#####..", ".#.....#.", ".#.......", ".##......", "..####...",
                            "......##.", ".......#.", ".#.....#.", "..#####.."};
        QCOMPARE(area(bitmap, 0, 6, 9, 9), s);
        const QStringList edge{".########."}; // U+4E00 is missing: a box where the '0' stands
        QCOMPARE(area(bitmap, 9, 3, 10, 12), edge + QStringList(10, ".#......#.") + edge);
    }

    void errors_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << m_dir.filePath("missing.ttf") << 0 << "No such file or directory";
        QTest::newRow("a directory") << m_dir.path() << 0 << "is a directory";
        QTest::newRow("not a font") << KESTRIN_SOURCE_DIR "/README.md" << 0
                                    << "not a font file (BDF, PCF, TrueType or OpenType)";
        QTest::newRow("size a bitmap font lacks") << m_dir.filePath("tiny.bdf") << 16
                                                  << "has no 16-pixel size; its sizes are 7";
        QTest::newRow("outline font too large") << kDejaVuSans << 256 << "pixel size 256 is outside 1..255";
    }

    void errors()
    {
        QFETCH(QString, file);
        QFETCH(int, pixelSize);
        QFETCH(QString, reason);
        try {
            (void)loadFontFile(file.toStdString(), pixelSize == 0 ? std::nullopt : std::optional(pixelSize));
            QFAIL("loaded");
        } catch (const FontError &error) {
            QCOMPARE(QString::fromStdString(error.what()), file + ": " + reason);
        }
    }
};

QTEST_GUILESS_MAIN(TestFontFiles)
#include "tst_font_files.moc"
