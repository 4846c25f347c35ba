// SPDX-License-Identifier: MIT
#include "page_sender.h"

namespace kestrin {

void PageSender::request(int page)
{
    m_waiting.push_back(page);
    // Oldest first: requests left waiting when a failed write ended the
    // innermost page are answered before this one.
    if (m_open.size() < kMaxOpenPages)
        startNextWaiting();
}

void PageSender::sendNext(const FrameBuffer &buffer, BytePort &port)
{
    if (m_open.empty())
        return;
    const OpenPage innermost = m_open.back();
    const std::uint8_t octet = buffer.read(innermost.page, innermost.column);
    // The port may report a failing line while it writes, and its owner may
    // clear the pages then: what was cleared is not touched again.
    const unsigned generation = m_generation;
    try {
        port.writeOctet(octet);
    } catch (...) {
        if (generation == m_generation)
            m_open.pop_back();
        throw;
    }
    if (generation != m_generation || ++m_open.back().column < kPageColumns)
        return;
    m_open.pop_back();
    if (!m_waiting.empty())
        startNextWaiting();
}

void PageSender::clear()
{
    m_open.clear();
    m_waiting.clear();
    ++m_generation;
}

void PageSender::startNextWaiting()
{
    m_open.push_back({m_waiting.front(), 0});
    m_waiting.pop_front();
}

} // namespace kestrin
