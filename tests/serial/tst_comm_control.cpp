// SPDX-License-Identifier: MIT
// The communications control on a pseudo-terminal whose other end is the
// board's line: the line it sets up, and every octet both ways.
#include "board_line.h"
#include "comm_control.h"

#include <QTest>

#include <numeric>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace kestrin;

class TestCommControl : public QObject
{
    Q_OBJECT

private slots:
    // As the serial link sets the control up; the device then has the board's
    // line settings, and control characters and flow-control octets pass both
    // ways unchanged, with nothing added around them.
    void carriesEveryOctetOnTheBoardsLine()
    {
        QCOMPARE(deviceForPort(2), "/dev/ttyS1");
        board::BoardLine line = board::BoardLine::createPty();
        CommControl control(QString::fromStdString(line.path()));
        control.setCommPort(2);
        control.setSettings("115200,N,8,1");
        control.setRThreshold(1);
        control.setPortOpen(true);

        termios settings{};
        const int device = ::open(line.path().c_str(), O_RDWR | O_NOCTTY);
        QVERIFY(device >= 0 && ::tcgetattr(device, &settings) == 0);
        ::close(device);
        QCOMPARE(::cfgetospeed(&settings), speed_t{B115200});
        QCOMPARE(settings.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t{CS8});

        QByteArray octets(256, '\0');
        std::iota(octets.begin(), octets.end(), '\0');
        for (const char octet : std::as_const(octets))
            control.writeOctet(static_cast<std::uint8_t>(octet));
        std::string heard;
        for (std::string chunk = "-"; !chunk.empty() && heard.size() < 257;)
            heard += chunk = line.readSome(std::chrono::milliseconds(100));
        QCOMPARE(QByteArray::fromStdString(heard), octets);

        QByteArray read;
        QObject::connect(&control, &CommControl::OnComm, [&] { read += QByteArray::fromStdString(control.input()); });
        line.write({octets.constData(), 256});
        QTRY_COMPARE(read, octets);
    }
};

QTEST_GUILESS_MAIN(TestCommControl)
#include "tst_comm_control.moc"
