// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>

namespace kestrin {

// A run-time error ends the handler that raised it; the dispatch boundary
// (handler_boundary.h) reports it and returns to the event loop.
class RunTimeError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// An index outside an array's declared bounds. Never wraps, never writes.
class SubscriptError : public RunTimeError
{
public:
    using RunTimeError::RunTimeError;
};

} // namespace kestrin
