// SPDX-License-Identifier: MIT
#pragma once

namespace kestrin {

// `kestrin --list-ports`: the serial ports, one per line on stdout.
[[nodiscard]] int listPorts();

} // namespace kestrin
