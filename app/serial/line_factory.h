// SPDX-License-Identifier: MIT
#pragma once

#include "line_control.h"

#include <QString>

#include <memory>
#include <optional>

namespace kestrin {

// The control for a device name: a connection to a network serial bridge for
// tcp:// and rfc2217:// names, the serial port for any other (port 2's own
// device when there is none). Throws RunTimeError for a malformed network name.
[[nodiscard]] std::unique_ptr<LineControl> makeLineControl(std::optional<QString> device);

} // namespace kestrin
