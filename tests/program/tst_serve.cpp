// SPDX-License-Identifier: MIT
// `kestrin serve` on a pseudo-terminal, with no display: it answers the
// request map from a frame file, reloads the file when it is replaced, keeps
// the last good frame when it is broken, and ends on SIGTERM once the page on
// the wire is complete. And `kestrin --list-ports`.
#include "board_fixture.h"
#include "distinct_pages.h"
#include "frame_formats.h"
#include "frame_server.h"
#include "page_protocol.h"

#include <QFile>
#include <QProcess>
#include <QSerialPortInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>

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
        QByteArray log;
        QProcess serve;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        serve.setProcessEnvironment(environment);
        connect(&serve, &QProcess::readyReadStandardError, [&] { log += serve.readAllStandardError(); });
        serve.start(QStringLiteral(KESTRIN_PATH), {"serve", "--port", board.path(), "--frame", frameFile, "--watch"});
        const auto logged = [&](const char *line) { return processEventsUntil([&] { return log.contains(line); }); };
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

        ::kill(pid_t(serve.processId()), SIGTERM);
        QVERIFY(serve.waitForFinished());
        QCOMPARE(serve.exitStatus(), QProcess::NormalExit);
        QCOMPARE(serve.exitCode(), 0);
        QVERIFY2(log.endsWith("kestrin: stopping on SIGTERM\n") && log.count('\n') == 5, log.constData());
    }

    // In the middle of a page (the signal comes from inside the serve's yield
    // between two octets), SIGTERM lets the page complete and starts no other.
    void sigtermMidPageCompletesThePage()
    {
        Board board;
        FrameServer server([] { return testing::distinctPages(); }, {{board.path()}, QStringLiteral("pages"), {}, false});
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
