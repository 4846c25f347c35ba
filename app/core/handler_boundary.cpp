// SPDX-License-Identifier: MIT
#include "handler_boundary.h"

#include <iostream>
#include <utility>

namespace kestrin {

namespace {

void writeToStderr(std::string_view handler, std::string_view message)
{
    if (handler.empty())
        std::cerr << "kestrin: " << message << std::endl;
    else
        std::cerr << "kestrin: " << handler << ": " << message << std::endl;
}

ErrorReporter &currentReporter()
{
    static ErrorReporter reporter = writeToStderr;
    return reporter;
}

} // namespace

ErrorReporter setErrorReporter(ErrorReporter reporter)
{
    return std::exchange(currentReporter(), reporter ? std::move(reporter) : writeToStderr);
}

void reportHandlerError(std::string_view handler, std::string_view message)
{
    currentReporter()(handler, message);
}

} // namespace kestrin
