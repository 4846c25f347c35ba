// SPDX-License-Identifier: MIT
#include "port_list.h"

#include <QSerialPortInfo>
#include <QStringList>

namespace kestrin {

namespace {

QString hexId(quint16 id)
{
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

} // namespace

QList<PortListing> availablePorts()
{
    QList<PortListing> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        PortListing port{info.systemLocation(), info.description(), info.manufacturer(),
                         info.serialNumber(), {}};
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            port.usbId = hexId(info.vendorIdentifier()) + u':' + hexId(info.productIdentifier());
        ports.append(port);
    }
    return ports;
}

QString describePort(const PortListing &port)
{
    QStringList fields;
    for (const QString &field :
         {port.device, port.description, port.manufacturer, port.serialNumber, port.usbId})
        fields.append(field.isEmpty() ? QStringLiteral("-") : field);
    return fields.join(QStringLiteral("  "));
}

} // namespace kestrin
