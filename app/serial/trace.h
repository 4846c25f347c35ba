// SPDX-License-Identifier: MIT
#pragma once

#include <QLoggingCategory>

#include <string_view>

// The development trace of port events: category "kestrin.trace", off unless
// the build enables it (KESTRIN_DEV_TRACE) or QT_LOGGING_RULES asks for
// "kestrin.trace.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcKestrinTrace)

namespace kestrin {

// Writes one trace label; fits SerialLink::setTrace.
void writeTrace(std::string_view label);

} // namespace kestrin
