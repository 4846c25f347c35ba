// SPDX-License-Identifier: MIT
#include "comm_control.h"
#include "line_settings.h"
#include "pty_board.h"
#include "run_time_error.h"

#include <QTest>

#include <numeric>

using namespace kestrin;
using testing::PtyBoard;

class TestCommControl : public QObject
{
    Q_OBJECT

private slots:
    void lineSettings_data();
    void lineSettings();
    void portTwoOnAMissingDevice();
    void everyOctetPassesUnchanged();
};

void TestCommControl::lineSettings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<LineSettings>>("expected");

    const std::optional<LineSettings> invalid;
    QTest::newRow("the board's line") << "115200,N,8,1" << std::optional{LineSettings{115200, 'N', 8, StopBits::One}};
    QTest::newRow("lower-case parity, two stop bits")
        << "9600,e,7,2" << std::optional{LineSettings{9600, 'E', 7, StopBits::Two}};
    QTest::newRow("one and a half stop bits")
        << "300,O,5,1.5" << std::optional{LineSettings{300, 'O', 5, StopBits::OneAndHalf}};
    QTest::newRow("three fields") << "115200,N,8" << invalid;
    QTest::newRow("baud not a number") << "fast,N,8,1" << invalid;
    QTest::newRow("unknown parity") << "115200,X,8,1" << invalid;
    QTest::newRow("nine data bits") << "115200,N,9,1" << invalid;
    QTest::newRow("three stop bits") << "115200,N,8,3" << invalid;
}

void TestCommControl::lineSettings()
{
    QFETCH(QString, text);
    QFETCH(std::optional<LineSettings>, expected);

    const std::string settings = text.toStdString();
    if (expected)
        QCOMPARE(parseLineSettings(settings), *expected);
    else
        QVERIFY_THROWS_EXCEPTION(RunTimeError, CommControl().setSettings(settings));
}

// Port n is /dev/ttyS(n-1) and a given device replaces port 2's only. When
// that device is missing, opening it says so in one clear line; the line
// stays closed and is not retried.
void TestCommControl::portTwoOnAMissingDevice()
{
    QCOMPARE(kestrin::deviceForPort(2), "/dev/ttyS1");
    const QString device = QStringLiteral("/dev/kestrin-no-such-device");
    CommControl control(device);
    QCOMPARE(control.device(), "/dev/ttyS0");
    control.setCommPort(2);
    QCOMPARE(control.device(), device);
    QVERIFY_THROWS_EXCEPTION(RunTimeError, control.setCommPort(0));
    QCOMPARE(control.device(), device);

    QString message;
    try {
        control.setPortOpen(true);
    } catch (const RunTimeError &error) {
        message = QString::fromStdString(error.what());
    }
    QVERIFY2(message.startsWith("Serial port " + device + ": ") && message.size() > device.size() + 14
                 && !message.contains('\n'),
             qPrintable(message));
    QCOMPARE(control.lineState(), CommControl::LineState::Closed);
    QVERIFY(!control.awaitingReturn());
    QVERIFY_THROWS_EXCEPTION(RunTimeError, control.writeOctet(0));
}

// Both ways, control characters and flow-control octets included, with
// nothing added around them.
void TestCommControl::everyOctetPassesUnchanged()
{
    PtyBoard board;
    CommControl control(board.slavePath());
    control.setCommPort(2);
    control.setRThreshold(1);
    control.setPortOpen(true);
    QByteArray octets(256, '\0');
    std::iota(octets.begin(), octets.end(), '\0');

    for (const char octet : std::as_const(octets))
        control.writeOctet(static_cast<std::uint8_t>(octet));
    QCOMPARE(board.receive(octets.size()), octets);
    QCOMPARE(board.receiveFor(std::chrono::milliseconds(30)), QByteArray());

    QByteArray read;
    QObject::connect(&control, &CommControl::OnComm, [&] { read += QByteArray::fromStdString(control.input()); });
    QVERIFY(board.send(octets));
    QVERIFY(testing::processEventsUntil([&] { return read.size() >= octets.size(); }, PtyBoard::kTimeout));
    QCOMPARE(read, octets);
}

QTEST_GUILESS_MAIN(TestCommControl)
#include "tst_comm_control.moc"
