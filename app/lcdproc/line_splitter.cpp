// SPDX-License-Identifier: MIT
#include "line_splitter.h"

namespace kestrin {

namespace {

bool endsLine(char c)
{
    return c == '\n' || c == '\r' || c == '\0';
}

} // namespace

void LineSplitter::feed(std::string_view bytes, std::deque<ClientLine> &lines)
{
    for (const char c : bytes) {
        if (endsLine(c)) {
            if (!m_skipping && !m_partial.empty())
                lines.push_back({std::move(m_partial), false});
            m_partial.clear();
            m_skipping = false;
        } else if (!m_skipping) {
            if (m_partial.size() == kMaxLineLength) {
                lines.push_back({{}, true});
                m_partial.clear();
                m_skipping = true;
            } else {
                m_partial += c;
            }
        }
    }
}

} // namespace kestrin
