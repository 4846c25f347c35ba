// SPDX-License-Identifier: MIT
// Form1 as the user and the board meet it: its design, its grid, the pages
// it serves over a pseudo-terminal while receptions, clicks and Convert
// interleave, a line that is missing, hangs up, fails to write, or comes
// back, and what it offers beyond its design: drops, the import dialog, the
// context menu, frame files.
#include "form1_fixture.h"
#include "frame_file.h"
#include "frame_formats.h"
#include "frame_preview.h"
#include "import_dialog.h"

#include <QCheckBox>
#include <QClipboard>
#include <QMenu>
#include <QSignalSpy>
#include <QSlider>
#include <QDir>
#include <QTemporaryDir>

#include <ctime>

using namespace kestrin;
using namespace kestrin::test;
using namespace std::chrono_literals;
using LineState = LineControl::LineState;

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    // 122 columns of 5 pixels fill the width; rows of 33 pixels touch but for
    // the 25 twips (2 pixels) between the upper picture's rows and the lower's.
    // Resizing the window moves none of them.
    void gridFillsTheWindowAndNothingMoves()
    {
        Form1 program;
        QCOMPARE(program.window->size(), QSize(610, 321));
        program.window->resize(300, 150);
        QCoreApplication::processEvents();
        for (int element = 0; element < kGridElements; ++element) {
            const int row = element / kGridColumns;
            const AchtBits *widget = program.window->grid().element(element);
            QCOMPARE(widget->geometry(), QRect(5 * (element % kGridColumns), 136 + 33 * row + (row >= 2 ? 2 : 0), 5, 33));
            QVERIFY(widget->isVisible() && widget->PixelByte() == 0);
        }
    }

    void designIsUnchanged_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<int>("tab");
        QTest::newRow("Picture1") << "Picture1" << QRect(0, 0, 368, 50) << 0;
        QTest::newRow("Picture2") << "Picture2" << QRect(0, 64, 368, 50) << 1;
        QTest::newRow("Command3") << "Command3" << QRect(392, 8, 101, 37) << 2;
        QTest::newRow("Command4") << "Command4" << QRect(392, 68, 105, 37) << 3;
        QTest::newRow("AchtBits1 element 0") << "AchtBits1" << QRect(0, 136, 5, 33) << 4;
    }

    // Each design widget at its place and in its place in the tab chain, also
    // while a context menu and an import dialog are open.
    void designIsUnchanged()
    {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(int, tab);
        Form1 program;
        program.window->openPicture(QString::fromLatin1(kUpperPicturePath), PictureTarget::Display);
        program.rightClick(program.widget(name));
        QVERIFY(program.window->findChild<ImportDialog *>()->isVisible() && program.window->findChild<QMenu *>()->isVisible());
        QCOMPARE(program.window->windowTitle(), "Lumora Demo");
        QCOMPARE(program.widget(name)->geometry(), place);
        QStringList chain;
        QWidget *widget = program.widget("Picture1");
        for (int step = 0; step < 1000 && chain.size() < 5; ++step, widget = widget->nextInFocusChain()) {
            if ((widget->focusPolicy() & Qt::TabFocus) != 0 && widget->isVisible())
                chain.append(widget->objectName());
        }
        QCOMPARE(chain.indexOf(name), tab);
    }

    void drops_data()
    {
        QTest::addColumn<QString>("on");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("target"); // a PictureTarget; -1 a frame, -2 refused
        QTest::addColumn<int>("threshold"); // -1 for Auto
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("said");
        const int display = int(PictureTarget::Display);
        QTest::newRow("picture on Picture1: upper half, Auto") << "Picture1" << QStringList{"photo.png"} << int(PictureTarget::Upper) << -1 << true << "";
        QTest::newRow("picture on Picture2: lower half, cancelled")
            << "Picture2" << QStringList{"photo.png"} << int(PictureTarget::Lower) << 150 << false << "";
        QTest::newRow("picture on the grid: whole display") << "grid" << QStringList{"photo.png"} << display << 90 << true << "";
        QTest::newRow("122 x 32 framed on the grid: every pixel") << "grid" << QStringList{"framed.png"} << display << -1 << true << "";
        QTest::newRow("picture by content on Start: whole display") << "Command4" << QStringList{"photo.data"} << display << -1 << true << "";
        QTest::newRow(".txt frame on Picture1") << "Picture1" << QStringList{"frame.txt"} << -1 << -1 << true << "";
        QTest::newRow(".bin frame on the grid") << "grid" << QStringList{"frame.bin"} << -1 << -1 << true << "";
        QTest::newRow("refused: no picture") << "Picture1" << QStringList{"notes.pdf"} << -2 << -1 << true
                                             << "cannot take notes.pdf: not a picture or a frame file";
        QTest::newRow("refused: .h") << "grid" << QStringList{"frame.h"} << -2 << -1 << true
                                     << "cannot take frame.h: a .h frame is written, not read";
        QTest::newRow("refused: two files") << "Picture2" << QStringList{"frame.txt", "frame.bin"} << -2 << -1 << true
                                            << "cannot take 2 files: drop one picture or frame file at a time";
        QTest::newRow("refused: a folder") << "grid" << QStringList{"folder.png"} << -2 << -1 << true
                                           << "cannot take folder.png: not a plain file";
        QTest::newRow("refused: not local") << "Command3" << QStringList{"https://example.org/a.png"} << -2 << -1 << true
                                            << "cannot take https://example.org/a.png: not a local file";
    }

    // A picture's dialog previews the conversion of the prepared pictures (the
    // other half's kept); OK puts them in the picture boxes for Convert, and
    // the frame stays until then. A frame file is the frame at once. A refused
    // drop says why and changes nothing.
    void drops()
    {
        QFETCH(QString, on);
        QFETCH(QStringList, files);
        QFETCH(int, target);
        QFETCH(int, threshold);
        QFETCH(bool, ok);
        QFETCH(QString, said);
        const QTemporaryDir directory;
        QImage photo(100, 40, QImage::Format_RGB32);
        for (int y = 0; y < photo.height(); ++y)
            for (int x = 0; x < photo.width(); ++x)
                photo.setPixel(x, y, qRgb(2 * x, x * y % 256, 255 - 6 * y));
        FrameBuffer frame = convertedPictures();
        frame.write(7, 60, 0xA5);
        QImage framed(122, 32, QImage::Format_RGB32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 122; ++x)
                framed.setPixel(x, y, x % 121 == 0 || y % 31 == 0 || y == 16 || (x * 7 + y * 3) % 5 == 0 ? 0xFF000000 : 0xFFFFFFFF);
        QVERIFY(photo.save(directory.filePath("photo.png")) && photo.save(directory.filePath("photo.data"), "PNG")
                && framed.save(directory.filePath("framed.png")));
        const QImage dropped = files.first() == "framed.png" ? framed : photo;
        saveFiles({{directory.filePath("frame.txt"), encodeFrame(frame, "a.txt")}, {directory.filePath("frame.bin"), encodeFrame(frame, "a.bin")},
                   {directory.filePath("frame.h"), "x"}, {directory.filePath("notes.pdf"), "%PDF"}});
        QVERIFY(QDir(directory.path()).mkdir("folder.png"));
        for (QString &file : files)
            file = file.contains(':') ? file : directory.filePath(file);
        Form1 program;
        QCOMPARE(program.drop(program.widget(on), files), target != -2);
        auto *dialog = program.window->findChild<ImportDialog *>();
        QCOMPARE(dialog != nullptr, target >= 0);
        if (dialog != nullptr) {
            auto *slider = dialog->findChild<QSlider *>("threshold");
            dialog->findChild<QCheckBox *>("auto")->setChecked(threshold < 0);
            slider->setValue(threshold);
            const Preparation preparation{.threshold = threshold < 0 ? std::nullopt : std::optional(threshold)};
            const auto picture = PictureTarget(target);
            if (threshold < 0)
                QVERIFY(!slider->isEnabled() && slider->value() == otsuLevel(greyAtDisplay(dropped, displaySizeOf(picture), Scaling::Fit)));
            // The target's display pixels exactly; the rest as the built-in pictures convert.
            const QImage decided = dropped == framed ? framed : decideAtDisplay(photo, displaySizeOf(picture), preparation);
            frame = convertedPictures();
            for (int y = 0; y < decided.height(); ++y)
                for (int x = 0; x < decided.width(); ++x)
                    setDark(frame, {x, y + (picture == PictureTarget::Lower ? 16 : 0)}, qGray(decided.pixel(x, y)) == 0);
            QCOMPARE(dialog->findChild<FramePreview *>()->frame(), frame);
            ok ? dialog->accept() : dialog->reject();
            QCOMPARE(program.window->frameBuffer(), FrameBuffer{});
            program.click("Command3");
        }
        program.buffer = target == -2 ? FrameBuffer{} : ok ? frame : convertedPictures();
        QCOMPARE(program.lineStatus()->text(), said);
        QCOMPARE(std::exchange(program.reports, {}), said.isEmpty() ? QStringList() : QStringList{"drop: " + said});
        for (const char *request : {"0", "1", "4", "0"})
            program.receive(request);
        program.finish();
    }

    void framesRoundTrip_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("said"); // after saving; %1 the path
        QTest::addColumn<bool>("readable");
        for (const char *format : {"bin", "txt", "png", "pbm", "bmp"})
            QTest::newRow(format) << QStringLiteral("edited.") + format << QStringLiteral("Saved edited.") + format << true;
        QTest::newRow(".h: written, not read") << "edited.h" << "Saved edited.h" << false;
        QTest::newRow("into a missing folder") << "missing/edited.bin" << "%1: cannot write: " << false;
    }

    // Save keeps every grid edit, and opening the file after Clear gives the
    // board the edited frame back; Ctrl+C puts the .h text on the clipboard.
    // A file that cannot be written or read says so and changes nothing.
    void framesRoundTrip()
    {
        QFETCH(QString, file);
        QFETCH(QString, said);
        QFETCH(bool, readable);
        const QTemporaryDir directory;
        const QString path = directory.filePath(file);
        Form1 program;
        program.convert();
        program.clickCell(0, 0);
        program.clickCell(250, 3);
        program.clickCell(487, 7);
        program.window->saveFrame(path);
        QVERIFY2(program.lineStatus()->text().startsWith(QString(said).replace("%1", path)), qPrintable(program.lineStatus()->text()));
        program.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(program.window.get()));
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(program.window.get(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromStdString(toCHeader(program.buffer, "frame")));
        program.window->clearFrame();
        QCOMPARE(program.window->frameBuffer(), FrameBuffer{});
        program.window->openFrame(path);
        program.buffer = readable ? program.buffer : FrameBuffer{};
        QCOMPARE(program.reports.size(), readable ? 2 : 3);
        QVERIFY(readable || program.lineStatus()->text().startsWith(path + ": "));
        program.reports.clear();
        for (const char *request : {"0", "1", "4", "2"})
            program.receive(request);
        program.finish();
    }

    // A right-click on the grid flips no cell and opens the menu; its serial
    // port submenu has the board's pseudo-terminal checked, and choosing it
    // opens the line anew: the board greets again.
    void contextMenuOnTheGrid()
    {
        Form1 program;
        program.receive("0");
        program.rightClick(program.window->grid().element(5));
        const auto *menu = program.window->findChild<QMenu *>();
        QVERIFY(menu != nullptr && menu->isVisible());
        QCOMPARE(program.window->grid().element(5)->PixelByte(), 0);
        auto *ports = menu->findChild<QMenu *>("serialPortMenu");
        emit ports->aboutToShow();
        QAction *current = ports->actions().value(0);
        QVERIFY(current->isChecked() && current->text() == program.board.path());
        current->trigger();
        program.model.reset();
        for (const char *request : {"1", "1", "5"})
            program.receive(request);
        program.finish();
    }

    void serves_data()
    {
        QTest::addColumn<QByteArrayList>("steps");
        QTest::addColumn<int>("nested");
        QTest::newRow("Start before the greeting, which goes unanswered; blank pages before Convert")
            << QByteArrayList{"start", "1", "1", "start", "8"} << 0;
        QTest::newRow("text first, then blanks, halves and rejected text")
            << QByteArrayList{"convert", "hallo", "0", " 3 ", "2.5", "abc", "9", "-1", "12", "6"} << 0;
        QTest::newRow("clicks reach the pages served") << QByteArrayList{
            "convert", "0", "click 0 0", "1", "click 61 3", "5", "click 305 5", "3", "click 366 6", "0",
            "click 487 7", "4", "click 0 0", "8"} << 0;
        QTest::newRow("Convert again discards the edits")
            << QByteArrayList{"convert", "click 400 2", "click 10 1", "convert", "0", "2", "6", "7"} << 0;
        QTest::newRow("request 5 after 10 octets of page 0 comes inside it")
            << QByteArrayList{"convert", "0", "1|10|5", "2|60|9"} << 1;
        // Far more than a pseudo-terminal's queue holds (about 20 KB on Linux):
        // the rest waits in QSerialPort's buffer, and the line stays up.
        QTest::newRow("Start far faster than the board reads") << QByteArrayList{"convert", "start 1000", "0", "4"} << 0;
    }

    // Each step is a reception from the board ("<text>", or "<text>|<k>|<text2>"
    // with text2 sent once k octets of text's page are heard), or a click on
    // Convert, Start or a cell ("start <presses>", "click <element> <bit>").
    void serves()
    {
        QFETCH(QByteArrayList, steps);
        QFETCH(int, nested);
        Form1 program;
        for (const QByteArray &step : steps) {
            const QByteArrayList words = step.split(' ');
            const QByteArrayList nesting = step.split('|');
            if (step == "convert")
                program.convert();
            else if (words.front() == "start")
                program.start(words.value(1, "1").toInt());
            else if (words.front() == "click")
                program.clickCell(words[1].toInt(), words[2].toInt());
            else
                program.receive(nesting[0], nesting.value(2), nesting.value(1, "-1").toInt());
        }
        program.finish();
        QCOMPARE(program.nested, nested);
    }

    // As main() runs it: the window closes from inside a served page's yield.
    // The page stops, the event loop ends with 0, the grid is torn down, and a
    // later request finds nobody serving it.
    void closingMidPageEndsTheProgram()
    {
        Form1 program;
        QVERIFY(program.board.sendRead("0"));
        qsizetype heard = 0;
        program.board.onReceived = [&](const QByteArray &chunk) {
            if ((heard += chunk.size()) >= 10)
                program.window->close();
        };
        QVERIFY(program.board.send("1"));
        QTimer::singleShot(kTimeout, program.window.get(), [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(program.board.receiveFor().size() < kPageColumns);
        QCOMPARE(program.window->grid().count(), 1);
        QVERIFY(program.board.sendRead("2"));
        QCOMPARE(program.board.receiveFor(), QByteArray());
        QVERIFY(program.reports.isEmpty());
    }

    void lineLost_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("report"); // the first report, %1 the device
        QTest::addColumn<int>("reports");
        QTest::newRow("device missing at start: waited for")
            << "missing" << "serial set-up: Serial port %1: No such file or directory; waiting for it" << 1;
        QTest::newRow("board hangs up mid-page")
            << "hang-up" << "serial port: Serial port %1: lost (the far end closed the pseudo-terminal); closed" << 1;
        QTest::newRow("write fails: known before Start ends") << "write" << "serial port: Serial port %1: lost (" << 2;
        QTest::newRow("write fails behind a full queue") << "queue" << "serial port: Serial port %1: lost (" << 1;
    }

    // The problem is reported once, naming the device, and shown below the grid;
    // nothing spins in the event loop, a pseudo-terminal is not waited for (its
    // number is handed out again) while a missing device is, everything that
    // needs no line works, and Start says why it cannot.
    void lineLost()
    {
        QFETCH(QString, fault);
        QFETCH(QString, report);
        QFETCH(int, reports);
        const QString missing = QStringLiteral("/nonexistent/ttyS1");
        Form1 program(fault == "missing" ? std::optional(missing) : std::nullopt);
        const QString device = fault == "missing" ? missing : program.board.path();
        qsizetype heard = 0;
        if (fault == "hang-up") {
            QVERIFY(program.board.sendRead("0"));
            program.board.onReceived = [&](const QByteArray &chunk) {
                if ((heard += chunk.size()) >= 30)
                    program.board.hangUp();
            };
            QVERIFY(program.board.send("1"));
        } else if (fault != "missing") {
            // A thousand pages fill the pseudo-terminal's queue; the rest waits in QSerialPort's buffer.
            for (int press = fault == "queue" ? 1000 : 0; press > 0; --press)
                program.click("Command4");
            program.board.hangUp();
            program.click("Command4");
        }
        const LineControl &control = program.window->commControl();
        QVERIFY(processEventsUntil([&] { return control.lineState() != LineState::Open; }));
        const std::clock_t before = std::clock();
        processEventsUntil([] { return false; }, 250ms);
        QVERIFY2(std::clock() - before < CLOCKS_PER_SEC / 10, "the event loop spins"); // processor time
        QCOMPARE(control.lineState(), LineState::Lost);
        QCOMPARE(control.awaitingReturn(), fault == "missing");
        QVERIFY2(program.reports.size() == reports && program.reports.front().startsWith(report.arg(device)),
                 qPrintable(program.reports.join('\n')));
        const QLabel *status = program.lineStatus();
        QVERIFY(status->isVisible() && status->textFormat() == Qt::PlainText && status->text().contains(device));

        QCOMPARE(program.window->grid().count(), kGridElements);
        program.click("Command4");
        QCOMPARE(program.reports.back(), "Start: Serial port " + device + ": not open");
    }

    // A device missing at start (a symlink that comes with the adapter) is
    // opened once it appears, and again when it comes back after a loss;
    // each time reported once however many tries it took, and greeted anew.
    // A link left naming a closed pseudo-terminal is not followed to the new
    // terminal that got its number, only once it is made anew.
    void returningDeviceGreetsAgain()
    {
        const QTemporaryDir directory;
        const QString device = directory.filePath(QStringLiteral("line"));
        Form1 program(device);
        LineControl &control = program.window->commControl();
        control.setReopenInterval(20ms);
        QSignalSpy reopened(&control, &LineControl::lineReopened);
        QString stale;
        for (const QString &arrival : {QStringLiteral("there now"), QStringLiteral("back")}) {
            QVERIFY(processEventsUntil([&] { return control.awaitingReturn(); }));
            QVERIFY(program.lineStatus()->isVisible() && program.lineStatus()->text().contains(device));
            Board board;
            if (board.path() == stale) {
                processEventsUntil([] { return false; }, 150ms);
                QCOMPARE(reopened.size(), 1);
            }
            QFile::remove(device);
            QVERIFY(QFile::link(board.path(), device));
            QVERIFY(reopened.wait(static_cast<int>(kTimeout.count())));
            processEventsUntil([] { return false; }, 100ms);
            QVERIFY(!program.lineStatus()->isVisible());
            QVERIFY2(program.reports.size() == 2, qPrintable(program.reports.join('\n')));
            QCOMPARE(program.reports.back(), "serial port: Serial port " + device + " is " + arrival
                                                 + "; waiting for the board's greeting");
            QVERIFY(board.sendRead("1"));
            QCOMPARE(board.receiveFor(), QByteArray());
            QVERIFY(board.sendRead("1"));
            QCOMPARE(board.receive(kPageColumns).size(), kPageColumns);
            program.reports.clear();
            stale = board.path();
        }
        QCOMPARE(reopened.size(), 2);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
