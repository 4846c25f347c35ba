// SPDX-License-Identifier: MIT
#include "comm_control.h"
#include "line_settings.h"
#include "pty_board.h"
#include "run_time_error.h"

#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

using namespace kestrin;
using kestrin::testing::PtyBoard;
using kestrin::testing::processEventsUntil;

Q_DECLARE_METATYPE(kestrin::LineSettings)

namespace {

QByteArray everyOctet()
{
    QByteArray octets;
    for (int value = 0; value < 256; ++value)
        octets.append(static_cast<char>(value));
    return octets;
}

// A control on the board's pseudo-terminal, set up as the serial link does.
struct OpenLine
{
    PtyBoard board;
    CommControl control{board.slavePath()};

    OpenLine()
    {
        control.setCommPort(2);
        control.setSettings("115200,N,8,1");
        control.setRThreshold(1);
        control.setInputLen(0);
        control.setPortOpen(true);
    }
};

} // namespace

class TestCommControl : public QObject
{
    Q_OBJECT

private slots:
    void deviceForPort_data();
    void deviceForPort();
    void lineSettings_data();
    void lineSettings();
    void openingAMissingDeviceNamesIt();
    void octetsPassUnchanged();
    void inputDuringAHandlerIsRaisedAtTheYield();
};

void TestCommControl::deviceForPort_data()
{
    QTest::addColumn<std::optional<QString>>("portTwoDevice");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("device");

#ifdef Q_OS_WIN
    QTest::newRow("port 2") << std::optional<QString>{} << 2 << "COM2";
    QTest::newRow("port 1") << std::optional<QString>{} << 1 << "COM1";
#else
    QTest::newRow("port 2") << std::optional<QString>{} << 2 << "/dev/ttyS1";
    QTest::newRow("port 1") << std::optional<QString>{} << 1 << "/dev/ttyS0";
    QTest::newRow("override leaves port 1") << std::optional<QString>{"/dev/ttyUSB0"} << 1 << "/dev/ttyS0";
#endif
    QTest::newRow("override replaces port 2") << std::optional<QString>{"/dev/ttyUSB0"} << 2
                                              << "/dev/ttyUSB0";
}

void TestCommControl::deviceForPort()
{
    QFETCH(std::optional<QString>, portTwoDevice);
    QFETCH(int, port);
    QFETCH(QString, device);

    CommControl control(portTwoDevice);
    control.setCommPort(port);
    QCOMPARE(control.device(), device);
    QVERIFY_THROWS_EXCEPTION(RunTimeError, control.setCommPort(0));
    QCOMPARE(control.device(), device);
}

void TestCommControl::lineSettings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<LineSettings>("expected");

    QTest::newRow("the board's line") << "115200,N,8,1" << true
                                      << LineSettings{115200, 'N', 8, StopBits::One};
    QTest::newRow("lower-case parity, two stop bits")
        << "9600,e,7,2" << true << LineSettings{9600, 'E', 7, StopBits::Two};
    QTest::newRow("one and a half stop bits")
        << "300,O,5,1.5" << true << LineSettings{300, 'O', 5, StopBits::OneAndHalf};
    QTest::newRow("three fields") << "115200,N,8" << false << LineSettings{};
    QTest::newRow("trailing comma") << "115200,N,8,1," << false << LineSettings{};
    QTest::newRow("baud not a number") << "fast,N,8,1" << false << LineSettings{};
    QTest::newRow("baud with blank") << "115200 ,N,8,1" << false << LineSettings{};
    QTest::newRow("unknown parity") << "115200,X,8,1" << false << LineSettings{};
    QTest::newRow("nine data bits") << "115200,N,9,1" << false << LineSettings{};
    QTest::newRow("three stop bits") << "115200,N,8,3" << false << LineSettings{};
}

void TestCommControl::lineSettings()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(LineSettings, expected);

    const std::string settings = text.toStdString();
    CommControl control;
    if (valid) {
        QCOMPARE(parseLineSettings(settings), expected);
        control.setSettings(settings);
    } else {
        QVERIFY_THROWS_EXCEPTION(RunTimeError, (void)parseLineSettings(settings));
        QVERIFY_THROWS_EXCEPTION(RunTimeError, control.setSettings(settings));
    }
}

void TestCommControl::openingAMissingDeviceNamesIt()
{
    const QString device = QStringLiteral("/dev/kestrin-no-such-device");
    CommControl control(device);
    control.setCommPort(2);
    try {
        control.setPortOpen(true);
        QFAIL("opening a missing device succeeded");
    } catch (const RunTimeError &error) {
        const QString message = QString::fromStdString(error.what());
        QVERIFY2(message.startsWith("Serial port " + device + ": "), qPrintable(message));
        QVERIFY2(message.size() > device.size() + 14, qPrintable(message));
        QVERIFY(!message.contains('\n'));
    }
    QCOMPARE(control.lineState(), CommControl::LineState::Closed);
    QVERIFY_THROWS_EXCEPTION(RunTimeError, control.writeOctet(0));
}

void TestCommControl::octetsPassUnchanged()
{
    OpenLine line;
    const QByteArray octets = everyOctet();

    for (const char octet : octets)
        line.control.writeOctet(static_cast<std::uint8_t>(octet));
    QCOMPARE(line.board.receive(octets.size()), octets);

    QByteArray read;
    QObject::connect(&line.control, &CommControl::OnComm, [&] {
        read += QByteArray::fromStdString(line.control.input());
    });
    QVERIFY(line.board.send(octets));
    QVERIFY(processEventsUntil([&] { return read.size() >= octets.size(); }, PtyBoard::kTimeout));
    QCOMPARE(read, octets);
}

// While the first event's handler runs, QSerialPort emits no further readyRead;
// the yield must find the new input and raise the event inside the handler.
void TestCommControl::inputDuringAHandlerIsRaisedAtTheYield()
{
    OpenLine line;
    QByteArrayList receptions;
    int depth = 0;
    int deepest = 0;
    QObject::connect(&line.control, &CommControl::OnComm, [&] {
        const auto guard = qScopeGuard([&] { --depth; });
        deepest = std::max(deepest, ++depth);
        QCOMPARE(line.control.commEvent(), 2);
        receptions.append(QByteArray::fromStdString(line.control.input()));
        if (receptions.size() > 1)
            return;
        QVERIFY(line.board.send("second"));
        for (int turn = 0; turn < 100 && receptions.size() == 1; ++turn)
            QVERIFY(line.control.yieldToEventLoop());
    });
    QVERIFY(line.board.send("first"));
    QVERIFY(line.board.waitUntilRead());
    QCOMPARE(receptions, (QByteArrayList{"first", "second"}));
    QCOMPARE(deepest, 2);
}

QTEST_GUILESS_MAIN(TestCommControl)
#include "tst_comm_control.moc"
