// SPDX-License-Identifier: MIT
// `kestrin convert`, headless: the built-in pictures as the window converts
// them, a C header a compiler takes, and errors that leave every file as it was.
#include "distinct_pages.h"
#include "frame_formats.h"
#include "reference_pages.h"

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrin;

namespace {

const QString kKestrin = QStringLiteral(KESTRIN_PATH);

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// In directory, without any display: no DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM.
Run run(const QString &directory, const QString &program, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(directory);
    process.start(program, arguments);
    process.waitForFinished();
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool write(const QString &path, const std::string &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

std::string encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes.toStdString();
}

} // namespace

class TestConvert : public QObject
{
    Q_OBJECT

private slots:
    void builtInPicturesAsTheWindowConverts();
    void imagesConvertToEveryPixel();
    void svgLandsOnDisplayPixels_data();
    void svgLandsOnDisplayPixels();
    void headerCompilesAndHoldsTheFrame();
    void errorsChangeNoFile_data();
    void errorsChangeNoFile();

private:
    QTemporaryDir m_directory;
};

void TestConvert::builtInPicturesAsTheWindowConverts()
{
    const Run result = run(m_directory.path(), kKestrin, {"convert", "-o", "builtin.bin", "-o", "-"});
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, 0);
    const FrameBuffer converted = testing::referencePages();
    QCOMPARE(contents(m_directory.filePath("builtin.bin")).toStdString(), toBinary(converted));
    QCOMPARE(result.out.toStdString(), toText(converted));
}

// A 122 x 32 image with dark pixels on every edge becomes the frame pixel for
// pixel, as do two 122 x 16 images for the halves.
void TestConvert::imagesConvertToEveryPixel()
{
    QRandomGenerator random(5);
    QImage image(122, 32, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 122; ++x)
            image.setPixel(x, y, x % 121 == 0 || y % 31 == 0 || y == 16 || random.bounded(2) == 1);
    QVERIFY(image.save(m_directory.filePath("framed.png")) && image.copy(0, 0, 122, 16).save(m_directory.filePath("up.png"))
            && image.copy(0, 16, 122, 16).save(m_directory.filePath("down.png")));
    for (const QStringList &sources : {QStringList{"--display", "framed.png"}, QStringList{"--upper", "up.png", "--lower", "down.png"}}) {
        const Run result = run(m_directory.path(), kKestrin, QStringList{"convert", "-o", "framed.txt"} + sources);
        QCOMPARE(result.exitCode, 0);
        const QList<QByteArray> lines = contents(m_directory.filePath("framed.txt")).split('\n');
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 122; ++x)
                QCOMPARE(lines[y][x] == '#', image.pixelIndex(x, y) == 1);
    }
}

// A vector logo is drawn at the size it is placed at: its edges fall on
// display pixels with a viewBox of the display's size and with one ten
// times smaller (centred: 120 x 32 of 122 x 32).
void TestConvert::svgLandsOnDisplayPixels_data()
{
    QTest::addColumn<QByteArray>("svg");
    QTest::addColumn<QList<QRect>>("dark");
    QTest::newRow("viewBox 122 x 32") << QByteArray("viewBox='0 0 122 32'><rect width='3' height='32'/>"
        "<rect x='40' y='7' width='45' height='11'/><rect x='121' y='31' width='1' height='1'/>")
        << QList<QRect>{{0, 0, 3, 32}, {40, 7, 45, 11}, {121, 31, 1, 1}};
    QTest::newRow("viewBox 12 x 3.2, ten times") << QByteArray("viewBox='0 0 12 3.2'><rect width='1.2' height='3.2'/>"
        "<rect x='5.5' y='1.1' width='0.3' height='0.9'/><rect x='11.9' y='3.1' width='0.1' height='0.1'/>")
        << QList<QRect>{{1, 0, 12, 32}, {56, 11, 3, 9}, {120, 31, 1, 1}};
}

void TestConvert::svgLandsOnDisplayPixels()
{
    QFETCH(QByteArray, svg);
    QFETCH(QList<QRect>, dark);
    QVERIFY(write(m_directory.filePath("logo.svg"), "<svg xmlns='http://www.w3.org/2000/svg' " + svg.toStdString() + "</svg>"));
    QCOMPARE(run(m_directory.path(), kKestrin, {"convert", "--display", "logo.svg", "-o", "logo.txt"}).err, QByteArray());
    QByteArray expected;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 122; ++x)
            expected += std::any_of(dark.begin(), dark.end(), [&](const QRect &rect) { return rect.contains(x, y); }) ? '#' : '.';
        expected += '\n';
    }
    QCOMPARE(contents(m_directory.filePath("logo.txt")), expected);
}

// A C program reads the frame back from the header; the header also compiles
// on its own, and for an AVR with the array in flash where avr-gcc is there.
void TestConvert::headerCompilesAndHoldsTheFrame()
{
    const QString gcc = QStandardPaths::findExecutable(QStringLiteral("gcc"));
    if (gcc.isEmpty())
        QSKIP("no gcc");
    const QString directory = m_directory.path();
    const std::string frame = toBinary(testing::distinctPages());
    QVERIFY(write(directory + "/2 frames.bin", frame));
    QVERIFY(write(directory + "/print.c", "#include <stdio.h>\n#include \"2 frames.h\"\n"
                                          "int main(void) { return fwrite(frame_2_frames, 1, 488, stdout) != 488; }\n"));
    QCOMPARE(run(directory, kKestrin, {"convert", "--frame", "2 frames.bin", "-o", "2 frames.h"}).exitCode, 0);
    const QStringList strict{"-std=c99", "-Wall", "-Wextra", "-Werror"};
    QCOMPARE(run(directory, gcc, strict + QStringList{"print.c", "-o", "print"}).err, QByteArray());
    QCOMPARE(run(directory, directory + "/print", {}).out.toStdString(), frame);
    QCOMPARE(run(directory, gcc, strict + QStringList{"-x", "c", "-c", "2 frames.h", "-o", "alone.o"}).err, QByteArray());
    // An animation's header: its frames in order, then their delays.
    QVERIFY(write(directory + "/play.c", "#include <stdio.h>\n#include \"anim.h\"\n"
                                         "int main(void) { return fwrite(anim, 488, ANIM_FRAMES, stdout) != 3\n"
                                         "    || fwrite(anim_delays, 4, ANIM_FRAMES, stdout) != 3; }\n"));
    QCOMPARE(run(directory, kKestrin, {"convert", "--play", KESTRIN_TEST_DATA_DIR "/frames.gif", "-o", "anim.h"}).exitCode, 0);
    QCOMPARE(run(directory, gcc, strict + QStringList{"play.c", "-o", "play"}).err, QByteArray());
    std::string frames;
    for (int frame = 0; frame < 3; ++frame) {
        FrameBuffer expected;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 122; ++x)
                setDark(expected, {x, y}, (x >= 10 + 30 * frame && x < 30 + 30 * frame && y >= 4 && y < 28) || (x == 0 && y == 0) || (x == 121 && y == 31));
        frames += toBinary(expected);
    }
    for (const std::uint32_t delay : {100U, 200U, 300U})
        frames += std::string(reinterpret_cast<const char *>(&delay), 4);
    QCOMPARE(run(directory, directory + "/play", {}).out.toStdString(), frames);
    const QString avrGcc = QStandardPaths::findExecutable(QStringLiteral("avr-gcc"));
    if (!avrGcc.isEmpty())
        QCOMPARE(run(directory, avrGcc, strict + QStringList{"-mmcu=atmega328p", "-include", "avr/pgmspace.h",
                                                             "-DKESTRIN_FRAME_ATTRIBUTE=PROGMEM", "-x", "c", "-c",
                                                             "2 frames.h", "-o", "avr.o"}).err, QByteArray());
}

void TestConvert::errorsChangeNoFile_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown output format") << QStringList{"-o", "old.bin", "-o", "x.jpg"} << 2
        << "x.jpg: unknown frame file extension; kestrin writes .bin, .txt, .h, .png, .pbm, .bmp";
    QTest::newRow("--display with --upper") << QStringList{"--display", "a.png", "--upper", "b.png", "-o", "x.bin"} << 2
        << "--display fills the whole display, so it cannot go with --upper or --lower";
    QTest::newRow("missing image") << QStringList{"--lower", "missing.png", "-o", "old.bin"} << 1
        << "missing.png: No such file or directory";
    QTest::newRow("undecodable frame") << QStringList{"--frame", "old.png", "-o", "x.bin"} << 1
        << "old.png: not an image format kestrin can read";
    QTest::newRow("frame image of the wrong size") << QStringList{"--frame", "old.pbm", "-o", "x.bin"} << 1
        << "old.pbm: is 100 x 50 pixels, not 122 x 32";
    QTest::newRow("PNG with a broken header chunk") << QStringList{"--display", "bad.png", "-o", "x.bin"} << 1
        << "bad.png: cannot decode the image (Unable to read image data)";
    QTest::newRow("truncated JPEG") << QStringList{"--upper", "cut.jpg", "-o", "x.bin"} << 1
        << "cut.jpg: cannot decode the image (Corrupt JPEG data: premature end of data segment)";

    QTest::newRow("second output unwritable") << QStringList{"-o", "old.bin", "-o", "none/x.txt"} << 1
        << "none/x.txt: cannot write: No such file or directory";
}

// One line on stderr, the exit code, and the folder as it was.
void TestConvert::errorsChangeNoFile()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QTemporaryDir directory;
    QVERIFY(write(directory.filePath("old.bin"), "old") && write(directory.filePath("old.png"), "old"));
    QVERIFY(write(directory.filePath("old.pbm"), "P4\n100 50\n" + std::string(13 * 50, '\0')));
    QImage photo(300, 200, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    std::string png = encoded(photo, "PNG");
    png[29] = char(png[29] ^ 0xFF); // the header chunk's checksum
    const std::string jpeg = encoded(photo, "JPG");
    QVERIFY(write(directory.filePath("bad.png"), png) && write(directory.filePath("cut.jpg"), jpeg.substr(0, jpeg.size() / 2)));
    const Run result = run(directory.path(), kKestrin, QStringList{"convert"} + arguments);
    QCOMPARE(result.err, "kestrin: " + message.toUtf8() + '\n');
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(QDir(directory.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList({"bad.png", "cut.jpg", "old.bin", "old.pbm", "old.png"}));
    QCOMPARE(contents(directory.filePath("old.bin")), QByteArray("old"));
}

QTEST_GUILESS_MAIN(TestConvert)
#include "tst_convert.moc"
