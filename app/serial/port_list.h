// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>

namespace kestrin {

// A serial port the system offers, as Qt finds it.
struct PortListing
{
    QString device;       // what --port takes, e.g. /dev/ttyUSB0
    QString description;  // empty when the system gives none
    QString manufacturer;
    QString serialNumber;
    QString usbId;        // "vendor:product" in hex, empty for a port without one
};

[[nodiscard]] QList<PortListing> availablePorts();

// One line of five fields separated by two blanks, "-" for one the system
// does not know: device, description, manufacturer, serial number and USB
// vendor:product, e.g. "/dev/ttyUSB0  USB Serial  Acme  A50285BI  1a86:7523".
[[nodiscard]] QString describePort(const PortListing &port);

} // namespace kestrin
