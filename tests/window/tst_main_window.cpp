// SPDX-License-Identifier: MIT
// Form1's design as the user sees it: the client area, every widget's place
// and size, the picture boxes, the focus order, a resize that moves nothing,
// and a window whose serial device is missing.
#include "handler_boundary.h"
#include "main_window.h"
#include "picture_box.h"
#include "pty_board.h"
#include "reference_pages.h"
#include "twips.h"

#include <pixels/acht_bits.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace kestrin;
using kestrin::testing::PtyBoard;
using kestrin::testing::processEventsUntil;

namespace {

constexpr QSize kClientSize{610, 321};
constexpr int kPictureWidth = 366;
constexpr int kPictureHeight = 48;

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A shown Form1 on the given device, with every handler error captured.
struct Form
{
    explicit Form(const QString &device)
    {
        previousReporter = setErrorReporter([this](std::string_view handler, std::string_view message) {
            reports.append(toQString(handler) + ": " + toQString(message));
        });
        window = std::make_unique<MainWindow>(device);
        window->show();
        processEventsUntil([this] { return window->isVisible(); }, PtyBoard::kTimeout);
    }
    ~Form()
    {
        window.reset();
        setErrorReporter(previousReporter);
    }

    template <typename Widget = QWidget>
    [[nodiscard]] Widget *child(const char *name) const
    {
        return window->findChild<Widget *>(QString::fromLatin1(name));
    }

    QStringList reports;
    ErrorReporter previousReporter;
    std::unique_ptr<MainWindow> window;
};

// Form1 on a pseudo-terminal: the line works.
struct FormOnLine
{
    PtyBoard board;
    Form form{board.slavePath()};
};

// The place of every widget the window shows, grid elements included.
QList<QRect> allPlaces(MainWindow &window)
{
    QList<QRect> places;
    for (const char *name : {"Picture1", "Picture2", "Command3", "Command4", "LineStatus"})
        places.append(window.findChild<QWidget *>(QString::fromLatin1(name))->geometry());
    for (int index = 0; index < window.grid().count(); ++index)
        places.append(window.grid().element(index)->geometry());
    return places;
}

// 0x00BBGGRR, the point query's colour value.
std::uint32_t colourValue(QRgb rgb)
{
    return static_cast<std::uint32_t>(qRed(rgb)) | static_cast<std::uint32_t>(qGreen(rgb)) << 8
           | static_cast<std::uint32_t>(qBlue(rgb)) << 16;
}

QImage shippedPicture(const char *name)
{
    return QImage(QString::fromLatin1(name)).convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TstMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void clientArea();
    void designPlaces_data();
    void designPlaces();
    void element0InTwips();
    void buttons_data();
    void buttons();
    void focusOrder();
    void gridFillsTheClientWidth();
    void picturesShownUnscaledInsideABorder_data();
    void picturesShownUnscaledInsideABorder();
    void pointQuery_data();
    void pointQuery();
    void resizingMovesAndScalesNothing_data();
    void resizingMovesAndScalesNothing();
    void missingDeviceLeavesEverythingElseWorking();
    void lineStatusOnlyWhileTheLineHasAProblem();
};

void TstMainWindow::clientArea()
{
    FormOnLine fixture;
    MainWindow &window = *fixture.form.window;
    QCOMPARE(window.objectName(), QStringLiteral("Form1"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Lumora Demo"));
    QCOMPARE(window.size(), kClientSize);
    QVERIFY(!window.windowIcon().isNull());
}

void TstMainWindow::designPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::newRow("Picture1") << "Picture1" << QRect(0, 0, 368, 50);
    QTest::newRow("Picture2") << "Picture2" << QRect(0, 64, 368, 50);
    QTest::newRow("Command3, Convert") << "Command3" << QRect(392, 8, 101, 37);
    QTest::newRow("Command4, Start") << "Command4" << QRect(392, 68, 105, 37);
    QTest::newRow("AchtBits1 element 0") << "AchtBits1" << QRect(0, 136, 5, 33);
}

void TstMainWindow::designPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    FormOnLine fixture;
    MainWindow &window = *fixture.form.window;
    QWidget *widget = name == "AchtBits1" ? window.grid().element(0) : fixture.form.child(qPrintable(name));
    QVERIFY(widget != nullptr);
    QCOMPARE(widget->parentWidget(), &window);
    QCOMPARE(widget->geometry(), place);
    QVERIFY(widget->isVisible());
}

void TstMainWindow::element0InTwips()
{
    FormOnLine fixture;
    QCOMPARE(twipsGeometry(*fixture.form.window->grid().element(0)),
             (TwipsRect{0.0F, 2040.0F, 75.0F, 495.0F}));
}

void TstMainWindow::buttons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("Command3") << "Command3" << "Convert";
    QTest::newRow("Command4") << "Command4" << "Start";
}

void TstMainWindow::buttons()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    FormOnLine fixture;
    const auto *button = fixture.form.child<QPushButton>(qPrintable(name));
    QVERIFY(button != nullptr);
    QCOMPARE(button->text(), text);
    QVERIFY(!button->isDefault());
    QVERIFY(!button->autoDefault());
    QVERIFY(button->isEnabled());
}

// The tab key visits the design-time widgets in their order.
void TstMainWindow::focusOrder()
{
    FormOnLine fixture;
    MainWindow &window = *fixture.form.window;
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QWidget *first = fixture.form.child("Picture1");
    first->setFocus(Qt::OtherFocusReason);
    QVERIFY(processEventsUntil([first] { return first->hasFocus(); }, PtyBoard::kTimeout));

    QList<QWidget *> visited{QApplication::focusWidget()};
    for (int step = 0; step < 4; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget());
    }
    const QList<QWidget *> expected{first, fixture.form.child("Picture2"), fixture.form.child("Command3"),
                                    fixture.form.child("Command4"), window.grid().element(0)};
    QCOMPARE(visited, expected);
}

void TstMainWindow::gridFillsTheClientWidth()
{
    FormOnLine fixture;
    MainWindow &window = *fixture.form.window;
    for (const int index : {121, 243, 365, 487}) {
        const AchtBits &last = *window.grid().element(index);
        QCOMPARE(last.geometry().x() + last.geometry().width(), window.width());
        QCOMPARE(twipsLeft(last) + twipsWidth(last), 9150.0F);
    }
    const QRect bottomRow = window.grid().element(366)->geometry();
    QVERIFY(bottomRow.y() + bottomRow.height() <= window.height());
}

void TstMainWindow::picturesShownUnscaledInsideABorder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("file");
    QTest::newRow("Picture1, upper") << "Picture1" << ":/assets/picture1.bmp";
    QTest::newRow("Picture2, lower") << "Picture2" << ":/assets/picture2.bmp";
}

// The box's client area is exactly its picture, drawn pixel for pixel at
// (0, 0) inside a one-pixel border, and the point query reads that picture.
void TstMainWindow::picturesShownUnscaledInsideABorder()
{
    QFETCH(QString, name);
    QFETCH(QString, file);
    FormOnLine fixture;
    auto *box = fixture.form.child<PictureBox>(qPrintable(name));
    const QImage picture = shippedPicture(qPrintable(file));
    QCOMPARE(picture.size(), QSize(kPictureWidth, kPictureHeight));
    QCOMPARE(box->contentsRect(), QRect(1, 1, kPictureWidth, kPictureHeight));

    const QImage shown = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.copy(box->contentsRect()), picture);
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            if (box->colourAt(static_cast<float>(x), static_cast<float>(y)) != colourValue(picture.pixel(x, y)))
                QFAIL(qPrintable(QStringLiteral("point (%1, %2) is not the picture's").arg(x).arg(y)));
        }
    }
}

void TstMainWindow::pointQuery_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<bool>("inside");
    for (const char *name : {"Picture1", "Picture2"}) {
        const QByteArray row(name);
        QTest::newRow(row + " (365, 47), bottom-right pixel") << name << 365.0F << 47.0F << true;
        QTest::newRow(row + " (0, 0), top-left pixel") << name << 0.0F << 0.0F << true;
        QTest::newRow(row + " (366, 47), right of the picture") << name << 366.0F << 47.0F << false;
        QTest::newRow(row + " (365, 48), below the picture") << name << 365.0F << 48.0F << false;
        QTest::newRow(row + " (-1, 0), left of the picture") << name << -1.0F << 0.0F << false;
    }
}

// On an all-black picture every point inside reads black (0) and every
// point outside must not.
void TstMainWindow::pointQuery()
{
    QFETCH(QString, name);
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(bool, inside);
    FormOnLine fixture;
    auto *box = fixture.form.child<PictureBox>(qPrintable(name));
    QImage black(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    black.fill(Qt::black);
    box->setPicture(ImagePicture(black));
    QCOMPARE(box->colourAt(x, y) == 0, inside);
}

void TstMainWindow::resizingMovesAndScalesNothing_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("larger") << QSize(900, 640);
    QTest::newRow("smaller, content clipped") << QSize(300, 150);
}

void TstMainWindow::resizingMovesAndScalesNothing()
{
    QFETCH(QSize, size);
    FormOnLine fixture;
    MainWindow &window = *fixture.form.window;
    const QList<QRect> before = allPlaces(window);
    QCOMPARE(before.size(), 5 + kGridElements);

    window.resize(size);
    QVERIFY(processEventsUntil([&] { return window.size() == size; }, PtyBoard::kTimeout));
    QCoreApplication::processEvents();
    QCOMPARE(allPlaces(window), before);
    QCOMPARE(fixture.form.child<PictureBox>("Picture1")->contentsRect(), QRect(1, 1, 366, 48));
}

// A serial device that cannot be opened is reported once and shown below
// the grid; the grid is built and "Convert" works all the same.
void TstMainWindow::missingDeviceLeavesEverythingElseWorking()
{
    const QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString device = directory.filePath(QStringLiteral("ttyMissing"));
    Form form(device);
    MainWindow &window = *form.window;

    QCOMPARE(form.reports.size(), 1);
    QVERIFY2(form.reports.front().contains(device), qPrintable(form.reports.front()));

    QCOMPARE(window.grid().count(), kGridElements);
    for (int index = 0; index < kGridElements; ++index)
        QVERIFY(window.grid().element(index)->isVisible());

    const auto *status = form.child<QLabel>("LineStatus");
    QVERIFY(status->isVisible());
    QCOMPARE(status->textFormat(), Qt::PlainText);
    QVERIFY(status->text().contains(device));
    QVERIFY(!status->text().contains(u'\n'));
    const QRect lastRow = window.grid().element(487)->geometry();
    QVERIFY(status->geometry().top() > lastRow.bottom());
    QVERIFY(window.rect().contains(status->geometry()));

    QTest::mouseClick(form.child("Command3"), Qt::LeftButton);
    const FrameBuffer reference = test::referencePages();
    QCOMPARE(window.frameBuffer(), reference);
    for (int page = 0; page < kPageCount; ++page) {
        for (int column = 0; column < kPageColumns; ++column)
            QCOMPARE(window.grid().element(elementOf(page, column))->PixelByte(), reference.read(page, column));
    }
    QCOMPARE(form.reports.size(), 1);
}

// Hidden on a working line; shown, naming the device, once the board hangs up.
void TstMainWindow::lineStatusOnlyWhileTheLineHasAProblem()
{
    FormOnLine fixture;
    const auto *status = fixture.form.child<QLabel>("LineStatus");
    QVERIFY(!status->isVisible());
    QVERIFY(fixture.form.reports.isEmpty());

    fixture.board.hangUp();
    QVERIFY(processEventsUntil([&] { return status->isVisible(); }, PtyBoard::kTimeout));
    QVERIFY(status->text().contains(fixture.board.slavePath()));
    QCOMPARE(fixture.form.reports.size(), 1);
}

QTEST_MAIN(TstMainWindow)
#include "tst_main_window.moc"
