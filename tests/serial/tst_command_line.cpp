// SPDX-License-Identifier: MIT
#include "command_line.h"

#include <QCoreApplication>
#include <QTest>

using namespace kestrin;
using Outcome = CommandLine::Outcome;

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
};

void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("expected"); // the device to run on, or a part of the text

    QTest::newRow("nothing: port 2's own device") << QStringList{} << Outcome::Run << QString();
    QTest::newRow("--port DEVICE") << QStringList{"--port", "/dev/pts/7"} << Outcome::Run << "/dev/pts/7";
    QTest::newRow("--help") << QStringList{"--help"} << Outcome::Help << "--port <DEVICE>";
    QTest::newRow("--version") << QStringList{"--version"} << Outcome::Version << "kestrin 1.2.3";
    QTest::newRow("empty device") << QStringList{"--port", ""} << Outcome::Error << "device";
    QTest::newRow("unknown option") << QStringList{"--baud", "9600"} << Outcome::Error << "baud";
    QTest::newRow("stray argument") << QStringList{"picture.bmp"} << Outcome::Error << "picture.bmp";
}

void TestCommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(Outcome, outcome);
    QFETCH(QString, expected);

    QCoreApplication::setApplicationName("kestrin");
    QCoreApplication::setApplicationVersion("1.2.3");
    const CommandLine commandLine = parseCommandLine(QStringList{"kestrin"} + arguments);
    QCOMPARE(commandLine.outcome, outcome);
    if (outcome == Outcome::Run)
        QCOMPARE(commandLine.portDevice, expected.isNull() ? std::optional<QString>() : expected);
    else
        QVERIFY2(commandLine.text.contains(expected), qPrintable(commandLine.text));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
