// SPDX-License-Identifier: MIT
#pragma once

#include <QHostAddress>
#include <QString>

namespace kestrin {

struct ListenAddress
{
    QHostAddress address;
    quint16 port = 0;
};

// Reads "[ADDRESS:]PORT": "13666" is 127.0.0.1, loopback only;
// "0.0.0.0:13666" and "[::1]:13666" name the address. Throws RunTimeError
// with a one-line reason for anything else.
[[nodiscard]] ListenAddress parseListenAddress(const QString &text);

} // namespace kestrin
