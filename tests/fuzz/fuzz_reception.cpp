// SPDX-License-Identifier: MIT
#include "handler_boundary.h"
#include "reception_session.h"

#include <cstddef>
#include <cstdint>

// Plays one input as a script of receptions, port events, edits and yields
// against the serial link; see ReceptionSession.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Many inputs end handlers with errors on purpose; a line on stderr for
    // each would only slow the run.
    kestrin::setErrorReporter([](std::string_view, std::string_view) {});
    kestrin::fuzz::ReceptionSession session({data, size});
    session.run();
    return 0;
}
