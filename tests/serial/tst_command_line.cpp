// SPDX-License-Identifier: MIT
#include "command_line.h"

#include <QCoreApplication>
#include <QTest>

using namespace kestrin;
using Outcome = CommandLine::Outcome;

Q_DECLARE_METATYPE(kestrin::CommandLine::Outcome)

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void parse_data();
    void parse();
};

void TestCommandLine::initTestCase()
{
    QCoreApplication::setApplicationName("kestrin");
    QCoreApplication::setApplicationVersion("1.2.3");
}

void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<std::optional<QString>>("device");
    QTest::addColumn<QString>("textContains");

    const std::optional<QString> none;
    QTest::newRow("nothing: port 2's own device") << QStringList{} << Outcome::Run << none << "";
    QTest::newRow("--port DEVICE") << QStringList{"--port", "/dev/pts/7"} << Outcome::Run
                                   << std::optional<QString>{"/dev/pts/7"} << "";
    QTest::newRow("--port=DEVICE") << QStringList{"--port=/dev/ttyUSB0"} << Outcome::Run
                                   << std::optional<QString>{"/dev/ttyUSB0"} << "";
    QTest::newRow("--help") << QStringList{"--help"} << Outcome::Help << none << "--port <DEVICE>";
    QTest::newRow("--version") << QStringList{"--version"} << Outcome::Version << none << "kestrin 1.2.3";
    QTest::newRow("--port without a device") << QStringList{"--port"} << Outcome::Error << none << "port";
    QTest::newRow("empty device") << QStringList{"--port", ""} << Outcome::Error << none << "device";
    QTest::newRow("unknown option") << QStringList{"--baud", "9600"} << Outcome::Error << none << "baud";
    QTest::newRow("stray argument") << QStringList{"picture.bmp"} << Outcome::Error << none << "picture.bmp";
}

void TestCommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(Outcome, outcome);
    QFETCH(std::optional<QString>, device);
    QFETCH(QString, textContains);

    arguments.prepend("kestrin");
    const CommandLine commandLine = parseCommandLine(arguments);
    QCOMPARE(commandLine.outcome, outcome);
    if (outcome == Outcome::Run)
        QCOMPARE(commandLine.portDevice, device);
    QVERIFY2(commandLine.text.contains(textContains), qPrintable(commandLine.text));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
