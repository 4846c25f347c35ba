// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace kestrin {

struct ClientLine
{
    std::string text;
    bool overlong = false; // text is empty; the line was skipped
};

// Cuts a client's byte stream into command lines. LF, CR or NUL ends a line,
// whichever read it arrives in; empty lines are dropped. A line longer than
// kMaxLineLength is handed out once, as overlong, and skipped up to its end,
// so a client holds at most that much here.
class LineSplitter
{
public:
    static constexpr std::size_t kMaxLineLength = 8192;

    void feed(std::string_view bytes, std::deque<ClientLine> &lines);

private:
    std::string m_partial;
    bool m_skipping = false;
};

} // namespace kestrin
