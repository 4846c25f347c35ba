// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace kestrin {

// One line of the server's log on stderr: "kestrin: <text>".
void logLine(const QString &text);

} // namespace kestrin
