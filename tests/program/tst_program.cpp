// SPDX-License-Identifier: MIT
// The kestrin executable itself: its command line, and the whole program
// serving kestrin-board over a pseudo-terminal.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("output"); // a part of standard output, or of the errors
        QTest::newRow("--help") << QStringList{"--help"} << 0 << QByteArray("--port <DEVICE>");
        QTest::newRow("--version") << QStringList{"--version"} << 0 << QByteArray("kestrin " KESTRIN_VERSION "\n");
        QTest::newRow("empty device") << QStringList{"--port", ""} << 2 << QByteArray("kestrin: --port needs a device\n");
        QTest::newRow("network board without a port") << QStringList{"--port", "rfc2217://bridge.local"} << 2
                                                      << QByteArray("kestrin: rfc2217://bridge.local: needs a port 1..65535 after the host\n");
        QTest::newRow("window: one board") << QStringList{"--port", "tcp://a:1", "--port", "/dev/ttyS0"} << 2
                                           << QByteArray("--port is given more than once");
        QTest::newRow("serve: a board twice") << QStringList{"serve", "--port", "tcp://a:1", "--port", "tcp://a:1"} << 2
                                              << QByteArray("--port names tcp://a:1 twice");
        QTest::newRow("unknown option") << QStringList{"--baud", "9600"} << 2 << QByteArray("'baud'");
        QTest::newRow("serve: --watch on the built-in pictures") << QStringList{"serve", "--watch"} << 2
                                                                 << QByteArray("the built-in pictures never change");
        QTest::newRow("serve: a frame and an image") << QStringList{"serve", "--frame", "a.bin", "--upper", "b.png"} << 2
                                                     << QByteArray("--frame reads a finished frame");
        QTest::newRow("stray argument") << QStringList{"picture.bmp"} << 2 << QByteArray("'picture.bmp'");
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, output);
        QProcess kestrin;
        kestrin.start(QStringLiteral(KESTRIN_PATH), arguments);
        QVERIFY(kestrin.waitForFinished());
        QCOMPARE(kestrin.exitCode(), exitCode);
        const QByteArray text = exitCode == 0 ? kestrin.readAllStandardOutput() : kestrin.readAllStandardError();
        QVERIFY2(text.contains(output), text.constData());
    }

    void servesTheBoard_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("picture");
        QTest::newRow("blank before any Convert") << QStringList() << (QByteArray(122, '.') + '\n').repeated(32);
        QByteArray frame;
        for (int y = 0; y < 32; ++y)
            frame += QByteArray(122, '.').replace(y, 90 - y, QByteArray(90 - y, '#')) + '\n';
        QTest::newRow("started on a frame file") << QStringList{QStringLiteral("--frame"), m_frame.filePath("start.txt")}
                                                 << frame;
        QFile file(m_frame.filePath("start.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(frame) == frame.size());
    }

    // kestrin-board prints its device, greets once kestrin has opened it, asks
    // for the eight pages, prints the picture they make and leaves. Offscreen
    // kestrin cannot be closed, so it is killed.
    void servesTheBoard()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, picture);
        QProcess board;
        board.start(QStringLiteral(KESTRIN_BOARD_PATH), {QStringLiteral("--ascii")});
        QVERIFY(board.waitForReadyRead());
        QProcess kestrin;
        kestrin.start(QStringLiteral(KESTRIN_PATH),
                      QStringList{QStringLiteral("--port"), QString::fromLocal8Bit(board.readLine()).trimmed()} + arguments);
        QVERIFY(board.waitForFinished());
        QCOMPARE(board.exitCode(), 0);
        QCOMPARE(board.readAllStandardOutput(), picture);
        kestrin.kill();
        QVERIFY(kestrin.waitForFinished());
    }

private:
    QTemporaryDir m_frame;
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
