// SPDX-License-Identifier: MIT
#pragma once

#include "frame_buffer.h"
#include "page_protocol.h"

#include <cstddef>
#include <deque>
#include <vector>

namespace kestrin {

// The pages in progress on one line, handed out one octet at a time.
//
// A page asked for while another is on its way is served inside it: its 61
// octets go out whole, then the interrupted page goes on from where it
// stopped. Past kMaxOpenPages pages in progress, further requests wait in
// arrival order and each starts when the innermost page ends, so a flooding
// board can neither grow the pages in progress without bound nor lose a
// request. Nothing here waits or calls back: whoever drives the line calls
// sendNext() once per turn of its event loop while busy().
class PageSender
{
public:
    static constexpr std::size_t kMaxOpenPages = 8;

    // A request for page (0..7, already mapped): starts at once, inside the
    // page in progress, unless kMaxOpenPages are open; then it waits.
    void request(int page);

    // Writes the next octet of the innermost page, read from buffer now, so
    // an edit made between two octets reaches the next one. A failing write
    // ends that page and throws; the octets already written stay written.
    void sendNext(const FrameBuffer &buffer, BytePort &port);

    // Drops every page in progress and every waiting request (a line that
    // closed, or opened anew: a page begun on one line never goes on on
    // another).
    void clear();

    [[nodiscard]] bool busy() const { return !m_open.empty(); }
    [[nodiscard]] std::size_t openPages() const { return m_open.size(); }
    [[nodiscard]] std::size_t waitingRequests() const { return m_waiting.size(); }

private:
    struct OpenPage
    {
        int page = 0;
        int column = 0; // the next octet's column
    };

    void startNextWaiting();

    std::vector<OpenPage> m_open; // innermost last
    std::deque<int> m_waiting;
    unsigned m_generation = 0; // counts clear()s
};

} // namespace kestrin
