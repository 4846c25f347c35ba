// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

namespace kestrin {

// A board behind a network serial bridge, as a device name gives it:
// tcp://HOST:PORT carries the line's octets as they are, rfc2217://HOST:PORT
// carries them in telnet with the COM port control option.
struct NetworkAddress
{
    enum class Protocol { Raw, Telnet };

    Protocol protocol = Protocol::Raw;
    QString host;
    quint16 port = 0;
};

// Whether the name is a network board's (tcp:// or rfc2217://, any case).
[[nodiscard]] bool isNetworkDevice(const QString &device);

// What is wrong with a tcp:// or rfc2217:// name: no host, no port
// 1..65535, or anything after the port. Empty for a good one, and for any
// other device.
[[nodiscard]] QString networkAddressProblem(const QString &device);

// The address of a network board's name; nullopt for any other device.
// Throws RunTimeError with the problem of a malformed one.
[[nodiscard]] std::optional<NetworkAddress> networkAddress(const QString &device);

// The device name for what a user typed for a network board: HOST:PORT
// becomes tcp://HOST:PORT, a tcp:// or rfc2217:// name stays as it is.
[[nodiscard]] QString networkDeviceName(const QString &typed);

} // namespace kestrin
