// SPDX-License-Identifier: MIT
#pragma once

#include "font.h"
#include "run_time_error.h"

#include <memory>
#include <optional>
#include <string>

namespace kestrin {

// A font file that cannot be used; the message is one line, "<path>: <reason>".
class FontError : public RunTimeError
{
public:
    using RunTimeError::RunTimeError;
};

// The pixel size of an outline font loaded without one.
inline constexpr int kDefaultOutlinePixelSize = 16;
inline constexpr int kLargestPixelSize = 255;

// A BDF or PCF bitmap font (a gzip-compressed .pcf.gz too) or a TrueType or
// OpenType outline font, read by FreeType. A bitmap font is drawn at one of
// its own sizes: pixelSize picks it, and without one the font's first size
// is used. An outline font is drawn at pixelSize (1..255), by default
// kDefaultOutlinePixelSize. Throws FontError.
[[nodiscard]] std::unique_ptr<Font> loadFontFile(const std::string &path,
                                                 std::optional<int> pixelSize = std::nullopt);

} // namespace kestrin
