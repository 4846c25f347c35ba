// SPDX-License-Identifier: MIT
// The kestrin executable itself: its command line, and the whole program
// serving kestrin-board over a pseudo-terminal.
#include <QProcess>
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
        QTest::newRow("empty device") << QStringList{"--port", ""} << 2 << QByteArray("kestrin: --port needs a device.\n");
        QTest::newRow("unknown option") << QStringList{"--baud", "9600"} << 2 << QByteArray("'baud'");
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

    // kestrin-board prints its device, greets once kestrin has opened it, asks
    // for the eight pages, prints the picture they make (blank before any
    // Convert) and leaves. Offscreen kestrin cannot be closed, so it is killed.
    void servesTheBoard()
    {
        QProcess board;
        board.start(QStringLiteral(KESTRIN_BOARD_PATH), {QStringLiteral("--ascii")});
        QVERIFY(board.waitForReadyRead());
        QProcess kestrin;
        kestrin.start(QStringLiteral(KESTRIN_PATH), {QStringLiteral("--port"), QString::fromLocal8Bit(board.readLine()).trimmed()});
        QVERIFY(board.waitForFinished());
        QCOMPARE(board.exitCode(), 0);
        QCOMPARE(board.readAllStandardOutput(), (QByteArray(122, '.') + '\n').repeated(32));
        kestrin.kill();
        QVERIFY(kestrin.waitForFinished());
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
