// SPDX-License-Identifier: MIT
#include "list_ports_command.h"

#include "log_line.h"
#include "port_list.h"

#include <cstdio>

namespace kestrin {

int listPorts()
{
    const QList<PortListing> ports = availablePorts();
    for (const PortListing &port : ports)
        std::printf("%s\n", qPrintable(describePort(port)));
    if (ports.isEmpty())
        logLine(QStringLiteral("no serial ports found"));
    return 0;
}

} // namespace kestrin
