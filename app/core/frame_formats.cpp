// SPDX-License-Identifier: MIT
#include "frame_formats.h"

#include "page_protocol.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace kestrin {

namespace {

constexpr char kDarkCharacter = '#';
constexpr char kClearCharacter = '.';
constexpr int kHeaderValuesPerLine = 16;

// Words a C compiler, old or new, will not take as the array's name, and the
// one type name the header itself uses.
constexpr std::array<std::string_view, 45> kReservedWords{
    "alignas", "alignof", "auto", "bool", "break", "case", "char", "const", "constexpr",
    "continue", "default", "do", "double", "else", "enum", "extern", "false", "float", "for",
    "goto", "if", "inline", "int", "long", "nullptr", "register", "restrict", "return", "short",
    "signed", "sizeof", "static", "static_assert", "struct", "switch", "thread_local", "true",
    "typedef", "typeof", "typeof_unqual", "union", "unsigned", "void", "volatile", "while"};
constexpr std::string_view kArrayType = "uint8_t";
constexpr std::string_view kNamePrefix = "frame_";

std::string describeCharacter(char character)
{
    if (character >= ' ' && character <= '~')
        return std::string{'\'', character, '\''};
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "byte 0x%02X", static_cast<unsigned char>(character));
    return text.data();
}

std::string rowsText(int first, int last)
{
    return std::to_string(first) + ".." + std::to_string(last);
}

// "1, 8": the board's request numbers that are answered with this page.
std::string requestsOfPage(int page)
{
    std::string requests;
    for (std::size_t request = 0; request < kRequestMap.size(); ++request) {
        if (kRequestMap[request] == page)
            requests += (requests.empty() ? "" : ", ") + std::to_string(request);
    }
    return requests;
}

std::string headerComment(std::string_view name, std::string_view fileName)
{
    std::string text = "/* " + std::string(fileName) + ": a 122 x 32 pixel frame for the display, written by kestrin.\n"
                       " *\n"
                       " * " + std::string(name) + "[p][c] is column c (0..60) of page p (0..7). Bit k of a byte,\n"
                       " * value 1 << k, is pixel row k of the page, bit 0 at the top. A set bit is a\n"
                       " * dark pixel.\n"
                       " *\n"
                       " *   page   display rows   display columns   board's request numbers\n";
    for (int page = 0; page < kPageCount; ++page) {
        const DisplayPixel first = pixelAt(page, 0, 0);
        const DisplayPixel last = pixelAt(page, kPageColumns - 1, kPageRows - 1);
        std::array<char, 96> line{};
        std::snprintf(line.data(), line.size(), " *   %4d   %-12s   %-15s   %s\n", page,
                      rowsText(first.y, last.y).c_str(), rowsText(first.x, last.x).c_str(),
                      requestsOfPage(page).c_str());
        text += line.data();
    }
    text += " *\n"
            " * The board asks for a page by its request number and receives the page's\n"
            " * 61 bytes, column 0 first.\n"
            " *\n"
            " * To keep the array in flash on a small microcontroller, define\n"
            " * KESTRIN_FRAME_ATTRIBUTE before including this file; with avr-libc:\n"
            " *     #include <avr/pgmspace.h>\n"
            " *     #define KESTRIN_FRAME_ATTRIBUTE PROGMEM\n"
            " * and read a byte with pgm_read_byte(&" + std::string(name) + "[p][c]).\n"
            " */\n";
    return text;
}

std::string upperCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return text;
}

// The eight pages' initialisers, each line starting with indent.
std::string pagesInitializer(const FrameBuffer &frame, const std::string &indent)
{
    std::string text;
    for (int page = 0; page < kPageCount; ++page) {
        text += indent + "{ /* page " + std::to_string(page) + " */";
        for (int column = 0; column < kPageColumns; ++column) {
            std::array<char, 8> value{};
            std::snprintf(value.data(), value.size(), "0x%02X", frame.read(page, column));
            text += (column % kHeaderValuesPerLine == 0 ? "\n" + indent + "    " : " ");
            text += value.data();
            text += column + 1 < kPageColumns ? "," : "";
        }
        text += page + 1 < kPageCount ? " },\n" : " }\n";
    }
    return text;
}

std::string headerArray(const FrameBuffer &frame, std::string_view name)
{
    return "static const uint8_t " + std::string(name) + "[8][61] KESTRIN_FRAME_ATTRIBUTE KESTRIN_FRAME_MAYBE_UNUSED = {\n"
           + pagesInitializer(frame, "    ") + "};\n";
}

std::string animationArrays(const std::vector<FrameBuffer> &frames, const std::vector<std::uint32_t> &delays,
                            std::string_view name)
{
    const std::string count = std::to_string(frames.size());
    std::string text = "#define " + upperCase(std::string(name)) + "_FRAMES " + count + "\n\n"
                       "/* How long each frame stays, in milliseconds. */\n"
                       "static const uint32_t " + std::string(name) + "_delays[" + count
                       + "] KESTRIN_FRAME_ATTRIBUTE KESTRIN_FRAME_MAYBE_UNUSED = {";
    for (std::size_t index = 0; index < delays.size(); ++index)
        text += (index % kHeaderValuesPerLine == 0 ? "\n    " : " ") + std::to_string(delays[index])
                + (index + 1 < delays.size() ? "," : "");
    text += "\n};\n\nstatic const uint8_t " + std::string(name) + "[" + count
            + "][8][61] KESTRIN_FRAME_ATTRIBUTE KESTRIN_FRAME_MAYBE_UNUSED = {\n";
    for (std::size_t index = 0; index < frames.size(); ++index)
        text += "    { /* frame " + std::to_string(index) + " */\n" + pagesInitializer(frames[index], "        ")
                + (index + 1 < frames.size() ? "    },\n" : "    }\n");
    return text + "};\n";
}

bool isIdentifierCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

void checkTextLine(std::string_view line, int number)
{
    for (std::size_t column = 0; column < line.size(); ++column) {
        if (line[column] != kDarkCharacter && line[column] != kClearCharacter)
            throw FrameFormatError("line " + std::to_string(number) + ", column " + std::to_string(column + 1)
                                   + ": " + describeCharacter(line[column]) + " is neither '#' (dark) nor '.' (clear)");
    }
    if (line.size() != static_cast<std::size_t>(kDisplayWidth))
        throw FrameFormatError("line " + std::to_string(number) + " has " + std::to_string(line.size())
                               + " characters; every line of a .txt frame has 122");
}

std::string baseName(std::string_view fileName)
{
    return std::string(fileName.substr(fileName.find_last_of("/\\") + 1));
}

std::string headerText(const std::string &comment, const std::string &name, const std::string &arrays)
{
    const std::string guard = "KESTRIN_" + upperCase(name) + "_H";
    return comment + "#ifndef " + guard + "\n#define " + guard + "\n\n#include <stdint.h>\n\n"
           "#ifndef KESTRIN_FRAME_ATTRIBUTE\n#define KESTRIN_FRAME_ATTRIBUTE\n#endif\n"
           "/* A file may include the frame without reading it. */\n"
           "#if defined(__GNUC__)\n#define KESTRIN_FRAME_MAYBE_UNUSED __attribute__((unused))\n"
           "#else\n#define KESTRIN_FRAME_MAYBE_UNUSED\n#endif\n\n"
           + arrays + "\n#endif\n";
}

} // namespace

std::string toBinary(const FrameBuffer &frame)
{
    std::string octets;
    octets.reserve(kFrameOctets);
    for (int page = 0; page < kPageCount; ++page) {
        for (int column = 0; column < kPageColumns; ++column)
            octets.push_back(static_cast<char>(frame.read(page, column)));
    }
    return octets;
}

FrameBuffer fromBinary(std::string_view octets)
{
    if (octets.size() != static_cast<std::size_t>(kFrameOctets))
        throw FrameFormatError("has " + std::to_string(octets.size()) + " octets; a .bin frame has exactly 488");
    FrameBuffer frame;
    for (int page = 0; page < kPageCount; ++page) {
        for (int column = 0; column < kPageColumns; ++column)
            frame.write(page, column, static_cast<std::uint8_t>(octets[static_cast<std::size_t>(page * kPageColumns + column)]));
    }
    return frame;
}

std::string toText(const FrameBuffer &frame)
{
    std::string text;
    text.reserve(static_cast<std::size_t>((kDisplayWidth + 1) * kDisplayHeight));
    for (int y = 0; y < kDisplayHeight; ++y) {
        for (int x = 0; x < kDisplayWidth; ++x)
            text.push_back(isDark(frame, {x, y}) ? kDarkCharacter : kClearCharacter);
        text.push_back('\n');
    }
    return text;
}

FrameBuffer fromText(std::string_view text)
{
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF"; // some editors begin UTF-8 text with it
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    if (text.empty())
        throw FrameFormatError("is empty; a .txt frame has 32 lines of 122 characters");
    if (text.ends_with('\n'))
        text.remove_suffix(1);
    FrameBuffer frame;
    int lines = 0;
    for (std::size_t start = 0; start != std::string_view::npos; ++lines) {
        const std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
        start = end == std::string_view::npos ? end : end + 1;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (lines >= kDisplayHeight)
            continue;
        checkTextLine(line, lines + 1);
        for (int x = 0; x < kDisplayWidth; ++x)
            setDark(frame, {x, lines}, line[static_cast<std::size_t>(x)] == kDarkCharacter);
    }
    if (lines != kDisplayHeight)
        throw FrameFormatError("has " + std::to_string(lines) + " lines; a .txt frame has 32 lines of 122 characters");
    return frame;
}

std::string toCHeader(const FrameBuffer &frame, std::string_view fileName)
{
    const std::string name = cIdentifier(fileName);
    return headerText(headerComment(name, baseName(fileName)), name, headerArray(frame, name));
}

std::string toAnimationHeader(const std::vector<FrameBuffer> &frames, const std::vector<std::uint32_t> &delays,
                              std::string_view fileName)
{
    const std::string name = cIdentifier(fileName);
    std::string comment = headerComment(name + "[f]", baseName(fileName));
    comment.replace(comment.find("a 122 x 32 pixel frame"), 22, "122 x 32 pixel frames");
    comment.insert(comment.find(" *\n") + 3,
                   " * An animation of " + std::to_string(frames.size()) + " frames: " + name
                       + "[f] is frame f, shown for\n * " + name + "_delays[f] milliseconds, then frame f + 1 (in flash,\n"
                       " * read a delay with pgm_read_dword(&" + name + "_delays[f])).\n *\n");
    return headerText(comment, name, animationArrays(frames, delays, name));
}

std::string cIdentifier(std::string_view fileName)
{
    std::string_view base = fileName.substr(fileName.find_last_of("/\\") + 1);
    base = base.substr(0, base.find_last_of('.'));
    std::string name;
    for (const char c : base) {
        if (isIdentifierCharacter(c))
            name.push_back(c);
        else if (!name.empty() && name.back() != '_')
            name.push_back('_');
    }
    while (name.ends_with('_'))
        name.pop_back();
    if (name.empty())
        return "frame";
    const bool reserved = std::find(kReservedWords.begin(), kReservedWords.end(), name) != kReservedWords.end()
                          || name == kArrayType;
    return reserved || (name.front() >= '0' && name.front() <= '9') ? std::string(kNamePrefix) + name : name;
}

} // namespace kestrin
