// SPDX-License-Identifier: MIT
#pragma once

#include "display_bitmap.h"
#include "picture_preparation.h"

#include <QString>

#include <chrono>
#include <vector>

namespace kestrin {

// An animation as the display shows it: each frame's display pixels and how
// long it stays.
struct Animation
{
    std::vector<DisplayBitmap> frames;
    std::vector<std::chrono::milliseconds> delays;
    int level = 0; // the threshold the images were decided at

    [[nodiscard]] std::chrono::milliseconds length() const;
};

// A frame that gives no delay of its own (a folder's, or a GIF frame of
// delay 0) stays this long, as in web browsers.
inline constexpr std::chrono::milliseconds kDefaultFrameDelay{100};
inline constexpr int kMaxAnimationFrames = 10000;

// Reads an animated GIF, PNG or WebP with each frame's own delay, or a folder
// of numbered frame files (.bin, .txt) and images, in the order of the
// numbers in their names, each shown for folderDelay. Every image is
// prepared for the whole display like a still one, at one threshold for the
// whole animation: Otsu's over all its frames together unless the
// preparation gives one, so a still background never flickers between
// levels. Frame files are taken as they are. Throws RunTimeError
// "<path>: <reason>".
[[nodiscard]] Animation loadAnimation(const QString &path, const Preparation &preparation,
                                      std::chrono::milliseconds folderDelay = kDefaultFrameDelay);

} // namespace kestrin
