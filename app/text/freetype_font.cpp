// SPDX-License-Identifier: MIT
#include "freetype_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace kestrin {

namespace {

constexpr FT_Int32 kMonochrome = FT_LOAD_RENDER | FT_LOAD_TARGET_MONO;

int roundedPixels(FT_Pos value)
{
    return static_cast<int>((value + 32) >> 6);
}

int ceiledPixels(FT_Pos value)
{
    return static_cast<int>((value + 63) >> 6);
}

// An empty bitmap (a space) may come without a pixel mode.
bool loadedMonochrome(FT_Face face, FT_UInt index, FT_Int32 flags)
{
    if (FT_Load_Glyph(face, index, flags) != 0)
        return false;
    const FT_Bitmap &bitmap = face->glyph->bitmap;
    return bitmap.pixel_mode == FT_PIXEL_MODE_MONO || bitmap.width == 0 || bitmap.rows == 0;
}

// An outline font may carry bitmaps of its own for some sizes, and those may
// be grey; its outline is then drawn instead.
bool loadMonochrome(FT_Face face, FT_UInt index)
{
    return loadedMonochrome(face, index, kMonochrome)
           || (FT_IS_SCALABLE(face) && loadedMonochrome(face, index, kMonochrome | FT_LOAD_NO_BITMAP));
}

Glyph fromSlot(const FT_GlyphSlotRec &slot)
{
    const FT_Bitmap &bitmap = slot.bitmap;
    Glyph glyph{static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows), slot.bitmap_left,
                slot.bitmap_top, roundedPixels(slot.advance.x), {}};
    glyph.pixels.reserve(static_cast<std::size_t>(bitmap.width) * bitmap.rows);
    for (unsigned int y = 0; y < bitmap.rows; ++y) {
        const unsigned char *row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
        for (unsigned int x = 0; x < bitmap.width; ++x)
            glyph.pixels.push_back((row[x / 8] >> (7 - x % 8)) & 1u);
    }
    return glyph;
}

} // namespace

void FreeTypeDeleter::operator()(FT_LibraryRec_ *library) const
{
    FT_Done_FreeType(library);
}

void FreeTypeDeleter::operator()(FT_FaceRec_ *face) const
{
    FT_Done_Face(face);
}

FreeTypeFont::FreeTypeFont(FreeTypeLibrary library, FreeTypeFace face)
    : m_library(std::move(library)), m_face(std::move(face)),
      m_ascent(ceiledPixels(m_face->size->metrics.ascender)),
      m_lineHeight(roundedPixels(m_face->size->metrics.height))
{
}

int FreeTypeFont::ascent() const
{
    return m_ascent;
}

int FreeTypeFont::lineHeight() const
{
    return m_lineHeight;
}

std::optional<Glyph> FreeTypeFont::glyph(char32_t character) const
{
    const FT_UInt index = FT_Get_Char_Index(m_face.get(), character);
    if (index == 0 || !loadMonochrome(m_face.get(), index))
        return std::nullopt;
    return fromSlot(*m_face->glyph);
}

} // namespace kestrin
