// SPDX-License-Identifier: MIT
#pragma once

#include "frame_source.h"

#include <QStringList>

#include <chrono>

namespace kestrin {

// What `kestrin convert` is asked for: one frame from the frame source, or
// an animation's frames.
struct ConvertOptions
{
    FrameSourceOptions source;
    QString play;         // an animation, in place of the source
    std::chrono::milliseconds frameDelay{100}; // each frame of a folder
    QString frameFormat = QStringLiteral("bin"); // an animation's frames in a folder
    QStringList outputs;  // checked already; "-" is the .txt form on standard output
};

// `kestrin convert`: reads and computes the frame (or the animation), encodes
// every output, and only then writes them all, so an error changes no file.
// An animation goes to a .h file (all frames and their delays) or into a
// folder (a name ending in '/', or an existing folder), one file per frame.
// Returns the exit code: 0, or 1 after one line "kestrin: <file>: <reason>"
// on stderr.
[[nodiscard]] int runConvert(const ConvertOptions &options);

} // namespace kestrin
