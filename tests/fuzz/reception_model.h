// SPDX-License-Identifier: MIT
#pragma once

#include "frame_buffer.h"
#include "serial_link.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <optional>
#include <vector>

namespace kestrin::fuzz {

// A broken invariant is a finding: name it and abort, so that libFuzzer keeps
// the input and the replay test fails.
inline void require(bool holds, const char *invariant)
{
    if (holds)
        return;
    std::fprintf(stderr, "reception invariant broken: %s\n", invariant);
    std::abort();
}

// What the serial link must do, kept apart from it. The greeting is not
// answered; a valid request waits in arrival order; a handler below the
// nesting limit serves waiting requests until none is left, each as a whole
// page with a yield after every octet, every octet the buffer byte of its
// page and column as the buffer stands when it is written. A failing write
// ends its page and handler; a stop ends everything.
class ReceptionModel
{
public:
    static constexpr std::size_t kNestingLimit = 8;

    explicit ReceptionModel(const FrameBuffer &buffer) : m_buffer(buffer) {}

    // True when the reception is a request to answer, now or once the
    // requests before it are served.
    bool receive(std::optional<std::int32_t> number);
    void reset();
    void octetWritten(std::uint8_t octet);
    void writeFailed();
    // Returns the number of open pages, to be handed back on return.
    [[nodiscard]] std::size_t yieldEntered();
    void yieldReturned(std::size_t openPages, bool proceed);
    void stop() { m_stopped = true; }

    [[nodiscard]] const ProtocolState &state() const { return m_state; }
    [[nodiscard]] std::size_t waiting() const { return m_waiting.size(); }
    [[nodiscard]] std::size_t openPages() const { return m_pages.size(); }
    [[nodiscard]] bool stopped() const { return m_stopped; }

private:
    struct OpenPage
    {
        int page = 0;
        int column = 0;
        bool awaitingYield = false;
    };

    void serveNextWaiting();

    const FrameBuffer &m_buffer;
    ProtocolState m_state;
    std::deque<std::int32_t> m_waiting;
    std::vector<OpenPage> m_pages; // innermost last
    bool m_stopped = false;
};

} // namespace kestrin::fuzz
