// SPDX-License-Identifier: MIT
// Form1's design as the user sees it, and a window whose serial line has a problem.
#include "picture_box.h"
#include "program.h"
#include "reference_pages.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

using namespace kestrin;
using kestrin::test::Program;

class TstMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void clientArea();
    void places_data();
    void places();
    void focusOrder();
    void picturesShowAndAnswerTheirPixels_data();
    void picturesShowAndAnswerTheirPixels();
    void lineProblemLeavesEverythingElseWorking_data();
    void lineProblemLeavesEverythingElseWorking();
};

void TstMainWindow::clientArea()
{
    Program program;
    QCOMPARE(program.window->objectName(), QStringLiteral("Form1"));
    QCOMPARE(program.window->windowTitle(), QStringLiteral("Lumora Demo"));
    QCOMPARE(program.window->size(), QSize(610, 321));
    QVERIFY(!program.window->windowIcon().isNull());
    for (const int lastInRow : {121, 243, 365, 487})
        QCOMPARE(program.window->grid().element(lastInRow)->geometry().right() + 1, program.window->width());

    // Resizing moves and scales nothing.
    const auto places = [&] {
        QList<QRect> rects;
        for (const QWidget *widget : program.window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            rects.append(widget->geometry());
        return rects;
    };
    const QList<QRect> before = places();
    QCOMPARE(before.size(), 5 + kGridElements);
    for (const QSize size : {QSize(900, 640), QSize(300, 150)}) {
        program.window->resize(size);
        QCoreApplication::processEvents();
        QCOMPARE(program.window->size(), size);
        QCOMPARE(places(), before);
    }
}

void TstMainWindow::places_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<QString>("text");
    QTest::newRow("Picture1") << "Picture1" << QRect(0, 0, 368, 50) << "";
    QTest::newRow("Picture2") << "Picture2" << QRect(0, 64, 368, 50) << "";
    QTest::newRow("Command3") << "Command3" << QRect(392, 8, 101, 37) << "Convert";
    QTest::newRow("Command4") << "Command4" << QRect(392, 68, 105, 37) << "Start";
    QTest::newRow("AchtBits1, element 0") << "AchtBits1" << QRect(0, 136, 5, 33) << "";
    QTest::newRow("LineStatus, hidden on a working line") << "LineStatus" << QRect(8, 276, 594, 40) << "";
}

void TstMainWindow::places()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QFETCH(QString, text);
    Program program;
    QWidget *widget = program.child(qPrintable(name));
    QVERIFY(widget != nullptr);
    QCOMPARE(widget->parentWidget(), program.window.get());
    QCOMPARE(widget->geometry(), place);
    QCOMPARE(widget->isVisible(), name != "LineStatus");
    if (const auto *button = qobject_cast<QPushButton *>(widget)) {
        QCOMPARE(button->text(), text);
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
    }
}

void TstMainWindow::focusOrder()
{
    Program program;
    program.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(program.window.get()));
    program.child("Picture1")->setFocus(Qt::OtherFocusReason);
    for (QWidget *next : {program.child("Picture2"), program.child("Command3"), program.child("Command4"),
                          static_cast<QWidget *>(program.window->grid().element(0))}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

void TstMainWindow::picturesShowAndAnswerTheirPixels_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("file");
    QTest::newRow("Picture1, upper") << "Picture1" << kUpperPicturePath;
    QTest::newRow("Picture2, lower") << "Picture2" << kLowerPicturePath;
}

// Drawn unscaled inside a one-pixel border, and queried in picture pixels:
// the pictures are greyscale, so 0x00BBGGRR is the pixel's RGB value.
void TstMainWindow::picturesShowAndAnswerTheirPixels()
{
    QFETCH(QString, name);
    QFETCH(QString, file);
    Program program;
    auto *box = program.child<PictureBox>(qPrintable(name));
    const QImage picture = QImage(file).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(box->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(box->contentsRect()), picture);
    QImage answered(picture.size(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            answered.setPixel(x, y, 0xFF000000U | box->colourAt(static_cast<float>(x), static_cast<float>(y)));
    }
    QCOMPARE(answered, picture);
    QCOMPARE(box->colourAt(366.0F, 47.0F), kOutsideColour);
}

void TstMainWindow::lineProblemLeavesEverythingElseWorking_data()
{
    QTest::addColumn<bool>("hangUp");
    QTest::newRow("device missing at start") << false;
    QTest::newRow("board hangs up") << true;
}

// The device is named once in the reports and below the grid, in plain text;
// the grid is built and "Convert" works all the same.
void TstMainWindow::lineProblemLeavesEverythingElseWorking()
{
    QFETCH(bool, hangUp);
    const QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const auto missing = hangUp ? std::nullopt : std::optional(directory.filePath(QStringLiteral("ttyMissing")));
    Program program(missing);
    const QString device = missing.value_or(program.board.slavePath());
    if (hangUp)
        program.board.hangUp();
    const auto *status = program.child<QLabel>("LineStatus");
    QVERIFY(testing::processEventsUntil([status] { return status->isVisible(); }, testing::PtyBoard::kTimeout));
    QCOMPARE(status->textFormat(), Qt::PlainText);
    QVERIFY(status->text().contains(device));
    QVERIFY2(program.reports.size() == 1 && program.reports.front().contains(device),
             qPrintable(program.reports.join('\n')));
    QCOMPARE(program.window->grid().count(), kGridElements);

    program.click("Command3");
    QCOMPARE(program.window->frameBuffer(), test::referencePages());
    QCOMPARE(program.reports.size(), 1);
}

QTEST_MAIN(TstMainWindow)
#include "tst_main_window.moc"
