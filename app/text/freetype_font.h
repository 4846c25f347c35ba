// SPDX-License-Identifier: MIT
#pragma once

#include "font.h"

#include <memory>

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace kestrin {

struct FreeTypeDeleter
{
    void operator()(FT_LibraryRec_ *library) const;
    void operator()(FT_FaceRec_ *face) const;
};

using FreeTypeLibrary = std::unique_ptr<FT_LibraryRec_, FreeTypeDeleter>;
using FreeTypeFace = std::unique_ptr<FT_FaceRec_, FreeTypeDeleter>;

// A font file opened by FreeType, its size chosen (a bitmap font's strike
// selected, or an outline font's pixel size set). Glyphs come in FreeType's
// monochrome mode, so only dark and clear pixels, no anti-aliasing. A
// lookup loads into the face's glyph slot: one thread at a time.
class FreeTypeFont : public Font
{
public:
    // face must belong to library.
    FreeTypeFont(FreeTypeLibrary library, FreeTypeFace face);

    [[nodiscard]] int ascent() const override;
    [[nodiscard]] int lineHeight() const override;
    [[nodiscard]] std::optional<Glyph> glyph(char32_t character) const override;

private:
    // Declared in this order, so that the face goes first.
    FreeTypeLibrary m_library;
    FreeTypeFace m_face;
    int m_ascent = 0;
    int m_lineHeight = 0;
};

} // namespace kestrin
