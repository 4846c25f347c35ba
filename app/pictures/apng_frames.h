// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>

#include <optional>
#include <vector>

namespace kestrin {

struct AnimationImage
{
    QImage image; // the whole canvas as it shows at this frame
    int delay = 0; // milliseconds; 0 when the file gives none
};

// The frames of an animated PNG, composed on its canvas as a viewer shows
// them (blend and dispose operations applied); nullopt for a PNG that is not
// animated. Qt's PNG reader shows only the first frame, so the animation's
// chunks are taken apart here and each frame's pixels decoded by Qt as a PNG
// of its own. Throws RunTimeError with a reason for a broken animation.
[[nodiscard]] std::optional<std::vector<AnimationImage>> apngFrames(const QByteArray &file);

} // namespace kestrin
