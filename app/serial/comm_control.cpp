// SPDX-License-Identifier: MIT
#include "comm_control.h"

#include "handler_boundary.h"
#include "line_settings.h"
#include "port_events.h"
#include "run_time_error.h"

#include <QFileInfo>

#include <array>
#include <string>
#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kestrin {

namespace {

constexpr int kTwoDevicePort = 2;

struct ParityName
{
    char letter;
    QSerialPort::Parity parity;
};
constexpr std::array<ParityName, 5> kParities{{
    {'N', QSerialPort::NoParity},
    {'E', QSerialPort::EvenParity},
    {'O', QSerialPort::OddParity},
    {'M', QSerialPort::MarkParity},
    {'S', QSerialPort::SpaceParity},
}};

QSerialPort::Parity toParity(char letter)
{
    for (const ParityName &name : kParities) {
        if (name.letter == letter)
            return name.parity;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits toStopBits(StopBits stopBits)
{
    switch (stopBits) {
    case StopBits::One:
        return QSerialPort::OneStop;
    case StopBits::OneAndHalf:
        return QSerialPort::OneAndHalfStop;
    case StopBits::Two:
        return QSerialPort::TwoStop;
    }
    return QSerialPort::OneStop;
}

// Errors that mean the line itself failed. NoError follows every successful
// setter; a refused setter or a wait timing out leaves the line working.
bool isLineFailure(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
    case QSerialPort::UnsupportedOperationError:
        return false;
    default:
        return true;
    }
}

// Why an open line failed. QSerialPort's system text is stale by then: a
// pseudo-terminal whose far end hung up, or an adapter pulled out, reads as
// end of file or a failed poll, which leaves an earlier errno behind. So the
// reason is told from what is left of the device.
QString failureReason(QSerialPort::SerialPortError error, const QString &device,
                      const QString &systemText)
{
    if (error == QSerialPort::WriteError)
        return QStringLiteral("write error: %1").arg(systemText);
    const QFileInfo info(device);
    if ((info.isSymLink() ? info.symLinkTarget() : device).startsWith(QStringLiteral("/dev/pts/")))
        return QStringLiteral("the far end closed the pseudo-terminal");
    if (!info.exists())
        return QStringLiteral("the device was unplugged or removed");
    return QStringLiteral("the device hung up or stopped answering");
}

// For a symbolic link to a pseudo-terminal, what tells this link from one
// made later under the same name: its inode and change time.
std::optional<QString> ptyLinkStamp(const QString &device)
{
#ifdef Q_OS_UNIX
    const QFileInfo info(device);
    if (!info.isSymLink() || !info.symLinkTarget().startsWith(QStringLiteral("/dev/pts/")))
        return std::nullopt;
    struct stat link {};
    if (::lstat(QFile::encodeName(device).constData(), &link) != 0)
        return std::nullopt;
    return QStringLiteral("%1:%2.%3").arg(link.st_ino).arg(link.st_ctim.tv_sec).arg(link.st_ctim.tv_nsec);
#else
    Q_UNUSED(device);
    return std::nullopt;
#endif
}

void checkCount(int characters, const char *what)
{
    if (characters < 0)
        throw RunTimeError(std::string(what) + " " + std::to_string(characters) + " is negative");
}

} // namespace

bool watchesForReturn(const QString &device)
{
    // A closed pseudo-terminal's number soon names somebody else's new one
    // (a terminal window, another program's simulated board): opening it again
    // would send pages there.
    return !device.startsWith(QStringLiteral("/dev/pts/"));
}

QString deviceForPort(int number)
{
    if (number < 1)
        throw RunTimeError("port number " + std::to_string(number) + " is below 1");
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

CommControl::CommControl(std::optional<QString> portTwoDevice, QObject *parent)
    : LineControl(parent), m_portTwoDevice(std::move(portTwoDevice))
{
    m_port.setPortName(device());
    m_reopenTimer.setInterval(kReopenInterval);
    connect(&m_port, &QSerialPort::readyRead, this, &CommControl::raiseIfDataWaiting);
    connect(&m_port, &QSerialPort::errorOccurred, this, &CommControl::onErrorOccurred);
    connect(&m_reopenTimer, &QTimer::timeout, this, &CommControl::tryReopen);
}

CommControl::~CommControl()
{
    // The port closes as it goes and may report an error; nobody is left to hear it.
    m_port.disconnect(this);
}

QString CommControl::device() const
{
    if (m_portNumber == kTwoDevicePort && m_portTwoDevice)
        return *m_portTwoDevice;
    return deviceForPort(m_portNumber);
}

void CommControl::setCommPort(int number)
{
    if (m_state == LineState::Open)
        throw RunTimeError(describe(QStringLiteral("the port number cannot change while the port is open"))
                               .toStdString());
    (void)deviceForPort(number);
    m_portNumber = number;
    m_port.setPortName(device());
}

void CommControl::setSettings(std::string_view settings)
{
    const LineSettings line = parseLineSettings(settings);
    const bool applied = m_port.setBaudRate(line.baud)
                         && m_port.setParity(toParity(line.parity))
                         && m_port.setDataBits(static_cast<QSerialPort::DataBits>(line.dataBits))
                         && m_port.setStopBits(toStopBits(line.stopBits))
                         && m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!applied)
        throw RunTimeError(describe(QStringLiteral("cannot apply \"%1\": %2")
                                        .arg(QString::fromUtf8(settings.data(),
                                                               static_cast<qsizetype>(settings.size())),
                                             m_port.errorString()))
                               .toStdString());
}

void CommControl::setRThreshold(int characters)
{
    checkCount(characters, "receive threshold");
    m_threshold = characters;
}

void CommControl::setInputLen(int characters)
{
    checkCount(characters, "input length");
    m_inputLength = characters;
}

void CommControl::setPortOpen(bool open)
{
    m_reopenTimer.stop();
    if (!open) {
        m_state = LineState::Closed;
        if (m_port.isOpen())
            m_port.close();
        setProblem({});
        return;
    }
    if (m_state == LineState::Open)
        return;
    m_state = LineState::Closed;
    if (!m_port.open(QIODevice::ReadWrite)) {
        // A device that is not there yet (an adapter still to be plugged in)
        // is waited for like one that went away. The owner shows the problem
        // for as long as it lasts; the handler boundary reports it once.
        if (watchesForReturn(device())) {
            m_state = LineState::Lost;
            m_reopenTimer.start();
            setProblem(describe(QStringLiteral("%1; waiting for it").arg(m_port.errorString())));
        } else {
            setProblem(describe(m_port.errorString()));
        }
        throw RunTimeError(m_problem.toStdString());
    }
    opened();
}

void CommControl::setDevice(const QString &device)
{
    m_reopenTimer.stop();
    if (m_port.isOpen())
        m_port.close();
    m_state = LineState::Closed;
    m_portTwoDevice = device;
    m_port.setPortName(this->device());
    setProblem({});
    setPortOpen(true);
    emit lineReopened();
}

std::string CommControl::input()
{
    if (m_state != LineState::Open)
        throw RunTimeError(describe(QStringLiteral("not open")).toStdString());
    const QByteArray waiting = m_inputLength == 0 ? m_port.readAll() : m_port.read(m_inputLength);
    return waiting.toStdString();
}

void CommControl::writeOctet(std::uint8_t octet)
{
    if (m_state != LineState::Open)
        throw RunTimeError(describe(QStringLiteral("not open")).toStdString());
    const char character = static_cast<char>(octet);
    const DirectWrite direct = writeDirectly(character);
    if (direct == DirectWrite::Written)
        return;
    if (m_port.write(&character, 1) != 1)
        throw RunTimeError(describe(m_port.errorString()).toStdString());
    // A full queue is no failure: QSerialPort sends the octet as soon as the
    // device takes more, and flushing now would only fail with EAGAIN, which
    // it reports as a write error. Otherwise the octet goes out now rather
    // than at the next turn of the event loop, and a failing line says so.
    if (direct == DirectWrite::Refused)
        m_port.flush();
}

// QSerialPort buffers every write and switches its write notifier on and off
// around it; with the GLib event loop each switch wakes the loop, which
// costs more than the octet itself. While nothing waits in its buffer, the
// octet goes straight to the device; anything else (a full queue, a failing
// line) takes QSerialPort's way, which keeps the order and reports errors.
CommControl::DirectWrite CommControl::writeDirectly(char character)
{
#ifdef Q_OS_UNIX
    if (m_port.bytesToWrite() > 0)
        return DirectWrite::Queued;
    if (::write(m_port.handle(), &character, 1) == 1)
        return DirectWrite::Written;
    return errno == EAGAIN || errno == EWOULDBLOCK ? DirectWrite::Queued : DirectWrite::Refused;
#else
    Q_UNUSED(character);
    return DirectWrite::Refused;
#endif
}

void CommControl::setReopenInterval(std::chrono::milliseconds interval)
{
    m_reopenTimer.setInterval(interval);
}

void CommControl::raiseIfDataWaiting()
{
    if (m_state == LineState::Open && m_threshold > 0 && m_port.bytesAvailable() >= m_threshold)
        raise(comm_event::kReceive);
}

void CommControl::raise(int code)
{
    const int outer = std::exchange(m_event, code);
    emit OnComm();
    m_event = outer;
}

void CommControl::onErrorOccurred(QSerialPort::SerialPortError error)
{
    if (m_state != LineState::Open || !isLineFailure(error))
        return;
    // Qt keeps a failed port open and reports the same error again at every
    // turn of the event loop; the first report closes it.
    const QString reason = failureReason(error, device(), m_port.errorString());
    m_lostLink = ptyLinkStamp(device());
    m_state = LineState::Lost;
    m_port.close();
    if (!watchesForReturn(device())) {
        setProblem(describe(QStringLiteral("lost (%1); closed").arg(reason)));
        reportHandlerError("serial port", m_problem.toStdString());
        return;
    }
    m_reopenTimer.start();
    setProblem(describe(QStringLiteral("lost (%1); closed until the device returns").arg(reason)));
    reportHandlerError("serial port", m_problem.toStdString());
}

void CommControl::tryReopen()
{
    // A link to a pseudo-terminal is opened again only once it has been made
    // anew: the terminal it still names may be somebody else's by now.
    if (m_state != LineState::Lost || (m_lostLink && ptyLinkStamp(device()) == m_lostLink)
        || !m_port.open(QIODevice::ReadWrite))
        return;
    const bool wasOpen = m_openings > 0;
    opened();
    reportHandlerError("serial port",
                       QStringLiteral("Serial port %1 is %2; waiting for the board's greeting")
                           .arg(device(), wasOpen ? QStringLiteral("back") : QStringLiteral("there now"))
                           .toStdString());
    emit lineReopened();
}

void CommControl::opened()
{
    m_lostLink.reset();
    m_reopenTimer.stop();
    m_state = LineState::Open;
    ++m_openings;
    setProblem({});
}

void CommControl::setProblem(const QString &problem)
{
    if (problem == m_problem)
        return;
    m_problem = problem;
    emit lineProblemChanged(m_problem);
}

QString CommControl::describe(const QString &what) const
{
    return QStringLiteral("Serial port %1: %2").arg(device(), what);
}

} // namespace kestrin
