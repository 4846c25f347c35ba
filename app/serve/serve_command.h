// SPDX-License-Identifier: MIT
#pragma once

#include "serve_options.h"

namespace kestrin {

// `kestrin serve`: serves the built-in pictures converted, the user's images
// prepared and converted, or a frame file, to the board without a window,
// until SIGINT or SIGTERM. Needs a QCoreApplication. Returns the exit code: 0
// when asked to end, 1 when the first frame cannot be read or the line is
// gone for good.
[[nodiscard]] int runServe(const ServeOptions &options);

} // namespace kestrin
