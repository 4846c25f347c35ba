// SPDX-License-Identifier: MIT
#include "listen_address.h"

#include "run_time_error.h"

namespace kestrin {

namespace {

[[noreturn]] void refuse(const QString &text, const char *reason)
{
    throw RunTimeError(QStringLiteral("LCDproc address \"%1\": %2").arg(text, QLatin1String(reason)).toStdString());
}

quint16 portOf(const QString &text, const QString &port)
{
    bool number = false;
    const uint value = port.toUInt(&number);
    if (!number || value < 1 || value > 65535)
        refuse(text, "the port must be a number 1..65535");
    return static_cast<quint16>(value);
}

} // namespace

ListenAddress parseListenAddress(const QString &text)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return {QHostAddress(QHostAddress::LocalHost), portOf(text, text)};
    QString host = text.left(colon);
    const bool bracketed = host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'));
    if (bracketed)
        host = host.mid(1, host.size() - 2);
    else if (host.contains(QLatin1Char(':')))
        refuse(text, "write an IPv6 address in brackets, as [::1]:13666");
    QHostAddress address;
    if (host.isEmpty() || !address.setAddress(host))
        refuse(text, "not an IP address before the port");
    if (bracketed != (address.protocol() == QAbstractSocket::IPv6Protocol))
        refuse(text, "brackets go around an IPv6 address only");
    return {address, portOf(text, text.mid(colon + 1))};
}

} // namespace kestrin
