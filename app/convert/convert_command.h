// SPDX-License-Identifier: MIT
#pragma once

#include "frame_source.h"

#include <QStringList>

namespace kestrin {

// `kestrin convert`: reads and computes the frame, encodes every output, and
// only then writes them all, so an error changes no file. outputs are
// checked already (command_line.h); "-" is the .txt form on standard output.
// Returns the exit code: 0, or 1 after one line "kestrin: <file>: <reason>"
// on stderr.
[[nodiscard]] int runConvert(const FrameSourceOptions &source, const QStringList &outputs);

} // namespace kestrin
