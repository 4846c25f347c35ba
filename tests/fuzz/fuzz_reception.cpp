// SPDX-License-Identifier: MIT
#include "reception_session.h"

#include <cstddef>
#include <cstdint>

// Plays one input as a script of receptions, port events, button presses,
// edits and yields against the serial link; see ReceptionSession.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    kestrin::fuzz::ReceptionSession session({data, size});
    session.run();
    return 0;
}
