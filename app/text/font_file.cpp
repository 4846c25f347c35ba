// SPDX-License-Identifier: MIT
#include "font_file.h"

#include "freetype_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace kestrin {

namespace {

[[noreturn]] void fail(const std::string &path, const std::string &reason)
{
    throw FontError(path + ": " + reason);
}

std::string freeTypeReason(FT_Error error)
{
    if (error == FT_Err_Unknown_File_Format)
        return "not a font file (BDF, PCF, TrueType or OpenType)";
    char code[8];
    std::snprintf(code, sizeof code, "0x%02x", static_cast<unsigned int>(error));
    return std::string("a font file FreeType cannot use (error ") + code + ")";
}

void checkReadable(const std::string &path)
{
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        fail(path, std::strerror(errno));
    std::fclose(file);
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored))
        fail(path, "is a directory");
}

FreeTypeFace openFace(FT_Library library, const std::string &path)
{
    FT_Face face = nullptr;
    if (const FT_Error error = FT_New_Face(library, path.c_str(), 0, &face))
        fail(path, freeTypeReason(error));
    // A font without a Unicode map is looked up in its own encoding.
    if (face->charmap == nullptr && face->num_charmaps > 0)
        FT_Set_Charmap(face, face->charmaps[0]);
    return FreeTypeFace(face);
}

int strikePixels(const FT_Bitmap_Size &strike)
{
    return strike.y_ppem != 0 ? static_cast<int>((strike.y_ppem + 32) >> 6) : strike.height;
}

std::string strikeList(FT_Face face)
{
    std::string list;
    for (int index = 0; index < face->num_fixed_sizes; ++index)
        list += (index == 0 ? "" : ", ") + std::to_string(strikePixels(face->available_sizes[index]));
    return list;
}

int strikeIndex(FT_Face face, const std::string &path, std::optional<int> pixelSize)
{
    if (face->num_fixed_sizes == 0)
        fail(path, "has neither outlines nor bitmap sizes");
    for (int index = 0; index < face->num_fixed_sizes; ++index) {
        if (!pixelSize || strikePixels(face->available_sizes[index]) == *pixelSize)
            return index;
    }
    fail(path, "has no " + std::to_string(*pixelSize) + "-pixel size; its sizes are " + strikeList(face));
}

void chooseSize(FT_Face face, const std::string &path, std::optional<int> pixelSize)
{
    FT_Error error = 0;
    if (FT_IS_SCALABLE(face)) {
        const int size = pixelSize.value_or(kDefaultOutlinePixelSize);
        if (size < 1 || size > kLargestPixelSize)
            fail(path, "pixel size " + std::to_string(size) + " is outside 1.."
                           + std::to_string(kLargestPixelSize));
        error = FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size));
    } else {
        error = FT_Select_Size(face, strikeIndex(face, path, pixelSize));
    }
    if (error != 0)
        fail(path, freeTypeReason(error));
}

} // namespace

std::unique_ptr<Font> loadFontFile(const std::string &path, std::optional<int> pixelSize)
{
    checkReadable(path);
    FT_Library rawLibrary = nullptr;
    if (const FT_Error error = FT_Init_FreeType(&rawLibrary))
        fail(path, "FreeType cannot start (error " + std::to_string(error) + ")");
    FreeTypeLibrary library(rawLibrary);
    FreeTypeFace face = openFace(library.get(), path);
    chooseSize(face.get(), path, pixelSize);
    return std::make_unique<FreeTypeFont>(std::move(library), std::move(face));
}

} // namespace kestrin
