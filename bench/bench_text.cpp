// SPDX-License-Identifier: MIT
// Text onto the display: a full screen of the built-in font (20 x 4 cells)
// rendered and made a frame, and one line of an outline font at 16 pixels
// with the font loaded once beforehand.
#include "bench_table.h"
#include "builtin_font.h"
#include "font_file.h"
#include "text_layout.h"

#include <cstdio>

namespace {

constexpr int kRuns = 2000;
constexpr auto kScreen = "kestrin 1.0 on ttyS1\n"
                         "up 3 days, 04:17:52 \n"
                         "load 0.42 0.37 0.31 \n"
                         "eth0 192.168.1.20   ";
constexpr auto kOutlineFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr auto kOutlineLine = "Sat 14:05 · 21.5 °C";

} // namespace

int main()
{
    const kestrin::BuiltinFont builtin;
    const std::unique_ptr<kestrin::Font> outline = kestrin::loadFontFile(kOutlineFont, 16);
    const kestrin::TextLayout centred{kestrin::HorizontalAlignment::Center, kestrin::VerticalAlignment::Middle};
    unsigned int sink = 0;
    const auto screen = bench::timeRuns(kRuns, [&] {
        sink += kestrin::renderText(kScreen, builtin, {}).toFrame().read(3, 7);
    });
    const auto line = bench::timeRuns(kRuns, [&] {
        sink += kestrin::renderText(kOutlineLine, *outline, centred).dark(61, 16) ? 1 : 0;
    });

    bench::Table table("Text onto the display");
    table.add("text: 20 x 4 built-in screen to a frame", bench::median(screen), 0.1, "ms");
    table.add("text: one line of TrueType at 16 px", bench::median(line), 2.0, "ms");
    table.print();
    std::fprintf(stderr, "(%u)\n", sink);
    return 0;
}
