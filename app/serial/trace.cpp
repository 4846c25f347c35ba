// SPDX-License-Identifier: MIT
#include "trace.h"

#ifdef KESTRIN_DEV_TRACE
Q_LOGGING_CATEGORY(lcKestrinTrace, "kestrin.trace", QtDebugMsg)
#else
Q_LOGGING_CATEGORY(lcKestrinTrace, "kestrin.trace", QtInfoMsg)
#endif

namespace kestrin {

void writeTrace(std::string_view label)
{
    qCDebug(lcKestrinTrace).noquote()
        << QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size()));
}

} // namespace kestrin
