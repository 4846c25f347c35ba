// SPDX-License-Identifier: MIT
// `kestrin serve` on a pseudo-terminal, with no display: it answers the
// request map from a frame file, reloads the file when it is replaced, keeps
// the last good frame when it is broken, and ends on SIGTERM once the page on
// the wire is complete. Two boards, one of them behind ser2net, lost and
// back while the other is served. And `kestrin --list-ports`.
#include "board_fixture.h"
#include "bridge_fixture.h"
#include "distinct_pages.h"
#include "frame_formats.h"
#include "frame_server.h"
#include "still_feed.h"
#include "page_protocol.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QSerialPortInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <memory>

using namespace kestrin;
using namespace kestrin::test;

namespace {

bool write(const QString &path, const std::string &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

QByteArray page(const FrameBuffer &frame, int request)
{
    return QByteArray::fromStdString(toBinary(frame).substr(std::size_t(kPageColumns * pageForRequest(request)), kPageColumns));
}

// kestrin serve on the board's line, with no display, its log gathered.
struct Serve
{
    Serve(const Board &board, const QStringList &arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        process.setProcessEnvironment(environment);
        QObject::connect(&process, &QProcess::readyReadStandardError, [this] { log += process.readAllStandardError(); });
        process.start(QStringLiteral(KESTRIN_PATH), QStringList{"serve", "--port", board.path()} + arguments);
    }
    bool logged(const QByteArray &line)
    {
        return processEventsUntil([&] { return log.contains(line); });
    }
    QProcess process;
    QByteArray log;
};

} // namespace

class TestServe : public QObject
{
    Q_OBJECT

private slots:
    void servesReloadsAndEndsOnSigterm()
    {
        const QTemporaryDir directory;
        const QString frameFile = directory.filePath("frame.bin");
        FrameBuffer first = testing::distinctPages();
        FrameBuffer second;
        second.write(0, 7, 0x81);
        QVERIFY(write(frameFile, toBinary(first)));

        Board board;
        Serve serve(board, {"--frame", frameFile, "--watch"});
        const auto logged = [&](const QByteArray &line) { return serve.logged(line); };
        QVERIFY(logged("kestrin: serving " + frameFile.toUtf8() + " on " + board.path().toUtf8() + '\n'));

        QVERIFY(board.sendReadElsewhere("0"));
        QVERIFY(logged("kestrin: the board greeted on "));
        for (int request = 0; request < int(kRequestMap.size()); ++request) {
            QVERIFY(board.sendReadElsewhere(QByteArray::number(request)));
            QCOMPARE(board.receive(kPageColumns), page(first, request));
        }

        // Replaced by a rename, as editors and scripts do; then broken in place.
        QVERIFY(write(directory.filePath("new.bin"), toBinary(second)));
        QVERIFY(QFile::rename(directory.filePath("new.bin"), frameFile) || (QFile::remove(frameFile)
                && QFile::rename(directory.filePath("new.bin"), frameFile)));
        QVERIFY(logged("kestrin: reloaded " + frameFile.toUtf8() + '\n'));
        QVERIFY(write(frameFile, "half"));
        QVERIFY(logged("kestrin: reload failed, still serving the last good frame: " + frameFile.toUtf8()
                       + ": has 4 octets; a .bin frame has exactly 488\n"));
        QVERIFY(board.sendReadElsewhere("1"));
        QCOMPARE(board.receive(kPageColumns), page(second, 1));
        // Still broken: not said again.
        QVERIFY(write(frameFile, "still half"));
        QTest::qWait(400);
        QVERIFY(write(frameFile, toBinary(first)));
        QVERIFY(processEventsUntil([&] { return serve.log.count("kestrin: reloaded") == 2; }));

        ::kill(pid_t(serve.process.processId()), SIGTERM);
        QVERIFY(serve.process.waitForFinished());
        QCOMPARE(serve.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(serve.process.exitCode(), 0);
        QVERIFY2(serve.log.endsWith("kestrin: stopping on SIGTERM\n") && serve.log.count('\n') == 6, serve.log.constData());
    }

    // A text file served live: replaced by a rename, it is drawn anew.
    void servesATextFileLive()
    {
        const QTemporaryDir directory;
        const QString status = directory.filePath("status.txt");
        QVERIFY(write(status, "up"));
        Board board;
        Serve serve(board, {"--text-file", status, "--watch", "--invert"});
        QVERIFY(serve.logged("kestrin: serving " + status.toUtf8() + " on "));
        QVERIFY(board.sendReadElsewhere("0"));
        QVERIFY(board.sendReadElsewhere("1"));
        const QByteArray before = board.receive(kPageColumns);
        QVERIFY(write(directory.filePath("status.txt.new"), "down\n!") && ::rename(qPrintable(directory.filePath("status.txt.new")), qPrintable(status)) == 0);
        QVERIFY(serve.logged("kestrin: reloaded " + status.toUtf8() + '\n'));
        QVERIFY(board.sendReadElsewhere("1"));
        const QByteArray after = board.receive(kPageColumns);
        // Inverted: the cells' blank column 0 and the right of the line are dark.
        QVERIFY(before != after && std::uint8_t(before[0]) == 0xFF && std::uint8_t(after[60]) == 0xFF);
        serve.process.kill();
        serve.process.waitForFinished();
    }

    // An image with dark pixels on every edge reaches the board pixel for pixel.
    void servesAnImageExactly()
    {
        const QTemporaryDir directory;
        QRandomGenerator random(3);
        QImage image(122, 32, QImage::Format_RGB32);
        FrameBuffer expected;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 122; ++x) {
                const bool dark = x % 121 == 0 || y % 31 == 0 || y == 16 || random.bounded(2) == 1;
                image.setPixel(x, y, dark ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
                setDark(expected, {x, y}, dark);
            }
        }
        QVERIFY(image.save(directory.filePath("framed.png")));
        Board board;
        Serve serve(board, {"--display", directory.filePath("framed.png")});
        QVERIFY(serve.logged("kestrin: serving "));
        QVERIFY(board.sendReadElsewhere("0"));
        for (int request = 0; request < int(kRequestMap.size()); ++request) {
            QVERIFY(board.sendReadElsewhere(QByteArray::number(request)));
            QCOMPARE(board.receive(kPageColumns), page(expected, request));
        }
        serve.process.kill();
        serve.process.waitForFinished();
    }

    // In the middle of a page (the signal comes from inside the serve's yield
    // between two octets), SIGTERM lets the page complete and starts no other.
    void sigtermMidPageCompletesThePage()
    {
        Board board;
        FrameServer server(std::make_unique<StillFeed>([] { return testing::distinctPages(); }, QStringLiteral("pages"), QStringList()),
                           {{board.path()}, false});
        QTimer::singleShot(0, [&] {
            QVERIFY(board.sendRead("0"));
            board.onReceived = [&](const QByteArray &) {
                board.onReceived = nullptr;
                ::raise(SIGTERM);
                QVERIFY(board.send("5"));
            };
            QVERIFY(board.send("3"));
        });
        QCOMPARE(server.run(), 0);
        QCOMPARE(board.receiveFor(), page(testing::distinctPages(), 3));
    }

    // A pseudo-terminal and a board behind ser2net's raw TCP, each greeting
    // and asking on its own. The network board goes and a new one comes
    // behind the same name: told once, greeted anew, while the other is
    // served all along.
    void servesTwoBoardsOneLostAndBack()
    {
        if (Bridge::program().isEmpty())
            QSKIP("ser2net is not installed");
        const QTemporaryDir directory;
        const QString frameFile = directory.filePath("frame.bin");
        const FrameBuffer frame = testing::distinctPages();
        QVERIFY(write(frameFile, toBinary(frame)));
        const QString link = directory.filePath("lcd");
        auto far = std::make_unique<Board>();
        QVERIFY(QFile::link(far->path(), link));
        Bridge bridge("tcp", link);
        QVERIFY(bridge.start());
        const QByteArray network = bridge.url("tcp").toUtf8();
        Board near;
        Serve serve(near, {"--port", bridge.url("tcp"), "--frame", frameFile});
        const auto greeted = [&](Board &board, const QByteArray &device, int times) {
            return board.sendReadElsewhere("0")
                   && processEventsUntil([&] { return serve.log.count("greeted on " + device + '\n') == times; });
        };
        const auto served = [&](Board &board, int request) {
            return board.sendReadElsewhere(QByteArray::number(request)) && board.receive(kPageColumns) == page(frame, request);
        };
        QVERIFY(serve.logged("kestrin: serving " + frameFile.toUtf8() + " on " + near.path().toUtf8() + ", " + network + '\n'));
        QVERIFY(greeted(*far, network, 1) && greeted(near, near.path().toUtf8(), 1));
        QVERIFY(served(*far, 7) && served(near, 7));

        // The link goes first: ser2net follows it blindly, also to a new
        // pseudo-terminal that took the old one's number.
        QVERIFY(QFile::remove(link));
        far.reset();
        QVERIFY(serve.logged("kestrin: network board: Network board " + network + ": lost ("));
        // kestrin tries again; ser2net, finding no device, says so in text that is no number.
        QVERIFY(serve.logged("received text is not a number"));
        for (int request = 0; request < 3 * int(kRequestMap.size()); ++request)
            QVERIFY(served(near, request % int(kRequestMap.size())));
        far = std::make_unique<Board>();
        QVERIFY(QFile::link(far->path(), link));
        QVERIFY(greeted(*far, network, 2));
        QVERIFY(served(*far, 4) && served(near, 1));

        ::kill(pid_t(serve.process.processId()), SIGTERM);
        QVERIFY(serve.process.waitForFinished());
        QCOMPARE(serve.process.exitCode(), 0);
        QVERIFY2(serve.log.count("lost") == 1 && serve.log.count("received text is not a number") == 1, serve.log.constData());
    }

    // Whatever ports this machine has: one line each, five fields.
    void listsPorts()
    {
        QProcess kestrin;
        kestrin.start(QStringLiteral(KESTRIN_PATH), {"--list-ports"});
        QVERIFY(kestrin.waitForFinished());
        QCOMPARE(kestrin.exitCode(), 0);
        const QList<QByteArray> lines = kestrin.readAllStandardOutput().split('\n');
        QCOMPARE(lines.size() - 1, QSerialPortInfo::availablePorts().size());
        for (const QByteArray &line : lines.first(lines.size() - 1))
            QVERIFY2(line.startsWith('/') && line.split(' ').count(QByteArray()) >= 4, line.constData());
    }
};

QTEST_GUILESS_MAIN(TestServe)
#include "tst_serve.moc"
