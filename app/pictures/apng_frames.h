// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>

#include <functional>

namespace kestrin {

// Given each frame in turn: the whole canvas as it shows then, and its delay
// in milliseconds (0 when the file gives none).
using AnimationFrameSink = std::function<void(const QImage &canvas, int delay)>;

// The frames of an animated PNG, composed on its canvas as a viewer shows
// them (blend and dispose operations applied), one at a time, so that only
// one canvas is held; false for a file that is no animated PNG. Qt's PNG
// reader shows only the first frame, so the animation's chunks are taken
// apart here and each frame's pixels decoded by Qt as a PNG of its own.
// Throws RunTimeError with a reason for a broken animation.
[[nodiscard]] bool readApngFrames(const QByteArray &file, const AnimationFrameSink &frame);

} // namespace kestrin
