// SPDX-License-Identifier: MIT
#pragma once

#include "display_bitmap.h"
#include "text_layout.h"

#include <QString>

#include <optional>

namespace kestrin {

// Text for the display: given on the command line or read from a file
// ("-" for standard input), drawn in the built-in font or a font file.
struct TextSourceOptions
{
    QString text;          // the text itself, when no file is named
    QString file;          // a UTF-8 text file, or "-"
    QString font;          // a font file; empty for the built-in font
    std::optional<int> size; // an outline font's pixel size
    TextLayout layout;

    [[nodiscard]] bool given() const { return !text.isEmpty() || !file.isEmpty(); }
};

// The text's display pixels. Throws RunTimeError "<file>: <reason>" for a
// text file or font that cannot be read.
[[nodiscard]] DisplayBitmap renderTextSource(const TextSourceOptions &options);

} // namespace kestrin
