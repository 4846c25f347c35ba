// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace kestrin::fuzz {

// What the serial link should do, kept independently of it: the protocol
// state, the requests waiting for a serve, the pages being written (innermost
// last) and a mirror of the frame buffer. Every octet the link writes is
// checked here against the page and column it must carry at that moment.
//
// The contract it holds the link to: the first reception is the greeting and
// is not answered; a valid request is queued in arrival order; a port event
// handler below the nesting limit serves queued requests until none is left,
// each as a whole page with a yield after every octet; at the limit a request
// only waits. A failing write ends the page being written and its handler;
// a stop ends everything and nothing is written afterwards.
class ReceptionModel
{
public:
    static constexpr int kNestingLimit = 8;

    enum class Reception { Rejected, Greeting, OutOfRange, Accepted };

    Reception receive(std::optional<std::int32_t> number);
    void reset();
    void edit(int page, int column, std::uint8_t value);

    void startPressed();
    void startEnded();

    void octetWritten(std::uint8_t octet);
    void writeFailed();
    // Returns the page whose octet the yield follows; pass it back on return.
    [[nodiscard]] long yieldEntered();
    void yieldReturned(long page, bool proceed);
    void close() { m_closed = true; }

    [[nodiscard]] std::int32_t lastRequest() const { return m_lastRequest; }
    [[nodiscard]] bool firstReceptionPending() const { return m_firstReceptionPending; }
    [[nodiscard]] std::size_t waiting() const { return m_waiting.size(); }
    [[nodiscard]] std::size_t pagesInProgress() const { return m_pages.size(); }
    [[nodiscard]] long expectedReports() const { return m_expectedReports; }
    [[nodiscard]] long greetings() const { return m_greetings; }
    [[nodiscard]] bool closed() const { return m_closed; }

private:
    struct PageInProgress
    {
        long id = 0;
        int page = 0;
        int column = 0;
        bool served = true; // false: the "Start" page, written without yields
        bool awaitingYield = false;
    };

    void serveNextWaiting();
    [[nodiscard]] int servingHandlers() const;

    std::array<std::array<std::uint8_t, 61>, 8> m_buffer{};
    std::int32_t m_lastRequest = 0;
    bool m_firstReceptionPending = true;
    std::deque<std::int32_t> m_waiting;
    std::vector<PageInProgress> m_pages;
    long m_nextId = 0;
    long m_expectedReports = 0;
    long m_greetings = 0;
    bool m_closed = false;
};

} // namespace kestrin::fuzz
