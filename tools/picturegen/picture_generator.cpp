// SPDX-License-Identifier: MIT
// Draws the two source pictures and the icon the program ships with.
//
// A picture is 366 x 48 pixels, 8-bit with a palette of 256 greys (entry n is
// RGB(n, n, n)). The text is painted antialiased, then quantised: glyph
// interiors become exactly black (entry 0), the antialiased edge becomes a few
// greys no darker than the picture's lightest allowed edge level, the rest white.

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cstdio>

namespace {

constexpr int kWidth = 366;
constexpr int kHeight = 48;
constexpr int kBaseline = 38;   // descenders reach about row 46
constexpr int kCapHeight = 30;
constexpr int kMargin = 3;
constexpr int kBlackBelow = 100; // rendered coverage darker than this is glyph interior

struct PictureText
{
    const char *fileName;
    const char *text;
    std::array<int, 3> edgeGreys; // darkest first
};

constexpr std::array<PictureText, 2> kPictures{{
    {"picture1.bmp", "Lumora 122x32 pixels", {20, 110, 200}},
    {"picture2.bmp", "Achtergrondlicht optioneel", {40, 130, 210}},
}};

QVector<QRgb> greyPalette()
{
    QVector<QRgb> palette;
    for (int n = 0; n < 256; ++n)
        palette.append(qRgb(n, n, n));
    return palette;
}

// One line of text, scaled so that capitals are kCapHeight tall and the line
// fills the width between the margins.
QImage renderText(const char *text)
{
    QImage canvas(kWidth, kHeight, QImage::Format_Grayscale8);
    canvas.fill(Qt::white);

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(100);
    font.setBold(true);
    QPainterPath path;
    path.addText(0, 0, font, QString::fromLatin1(text));
    const QFontMetricsF metrics(font);
    const QRectF bounds = path.boundingRect();

    const qreal yScale = kCapHeight / metrics.capHeight();
    const qreal xScale = (kWidth - 2 * kMargin) / bounds.width();
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(kMargin - bounds.left() * xScale, kBaseline);
    painter.scale(xScale, yScale);
    painter.fillPath(path, Qt::black);
    return canvas;
}

QImage quantise(const QImage &rendered, const std::array<int, 3> &edgeGreys)
{
    QImage picture(kWidth, kHeight, QImage::Format_Indexed8);
    picture.setColorTable(greyPalette());
    for (int y = 0; y < kHeight; ++y) {
        const uchar *in = rendered.constScanLine(y);
        uchar *out = picture.scanLine(y);
        for (int x = 0; x < kWidth; ++x) {
            const int level = in[x];
            if (level < kBlackBelow)
                out[x] = 0;
            else if (level >= 250)
                out[x] = 255;
            else
                out[x] = static_cast<uchar>(edgeGreys[static_cast<std::size_t>((level - kBlackBelow) * 3 / (250 - kBlackBelow))]);
        }
    }
    return picture;
}

// 32 x 32, 16 colours: a small green LCD panel with a dark frame and a few
// lit pixels.
QImage makeIcon()
{
    QImage icon(32, 32, QImage::Format_Indexed8);
    const QVector<QRgb> colours{
        qRgb(0, 0, 0),       qRgb(128, 0, 0),     qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128),   qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),     qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255),   qRgb(192, 255, 192), qRgb(255, 255, 255),
    };
    icon.setColorTable(colours);
    constexpr uchar kFrame = 8, kPanel = 14, kPixel = 0, kEdge = 7;
    constexpr std::array<const char *, 8> kGlyph{
        "#..#.####", "#.#..#...", "##...###.", "#.#.....#", "#..#.###.", ".........", "#########", ".........",
    };
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            uchar index = kPanel;
            if (x < 2 || y < 6 || x > 29 || y > 25)
                index = kFrame;
            if (y < 4 || y > 27)
                index = kEdge;
            icon.setPixel(x, y, index);
        }
    }
    for (int row = 0; row < 8; ++row) {
        for (int col = 0; col < 9; ++col) {
            if (kGlyph[static_cast<std::size_t>(row)][col] == '#') {
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        icon.setPixel(5 + 2 * col + dx, 8 + 2 * row + dy, kPixel);
            }
        }
    }
    return icon;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: kestrin-picturegen <assets folder>\n");
        return 2;
    }
    const QDir folder(args.at(1));
    for (const PictureText &picture : kPictures) {
        const QString path = folder.filePath(QString::fromLatin1(picture.fileName));
        if (!quantise(renderText(picture.text), picture.edgeGreys).save(path, "BMP")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    if (!makeIcon().save(folder.filePath(QStringLiteral("kestrin.png")), "PNG")) {
        std::fprintf(stderr, "cannot write the icon\n");
        return 1;
    }
    return 0;
}
