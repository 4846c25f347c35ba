// SPDX-License-Identifier: MIT
#include "log_line.h"

#include <cstdio>

namespace kestrin {

void logLine(const QString &text)
{
    std::fprintf(stderr, "kestrin: %s\n", qPrintable(text));
    std::fflush(stderr);
}

} // namespace kestrin
