// SPDX-License-Identifier: MIT
#pragma once

namespace kestrin {

// Handles every pending window and port event, then returns to the caller.
// The page sender calls it between two octets of a served page.
void processPendingEvents();

} // namespace kestrin
