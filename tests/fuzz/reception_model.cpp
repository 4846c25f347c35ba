// SPDX-License-Identifier: MIT
#include "reception_model.h"

#include "invariant.h"

#include <algorithm>

namespace kestrin::fuzz {

namespace {

constexpr int kColumns = 61;
constexpr int kStartPage = 4;
// The board's request number -> frame-buffer page, written out again here
// rather than taken from the code under test.
constexpr std::array<int, 9> kPageOfRequest{5, 0, 1, 6, 7, 2, 3, 4, 0};

} // namespace

ReceptionModel::Reception ReceptionModel::receive(std::optional<std::int32_t> number)
{
    if (!number) {
        ++m_expectedReports;
        return Reception::Rejected;
    }
    m_lastRequest = *number;
    if (m_firstReceptionPending) {
        m_firstReceptionPending = false;
        ++m_greetings;
        return Reception::Greeting;
    }
    if (*number < 0 || *number >= static_cast<std::int32_t>(kPageOfRequest.size())) {
        ++m_expectedReports;
        return Reception::OutOfRange;
    }
    m_waiting.push_back(*number);
    if (servingHandlers() < kNestingLimit)
        serveNextWaiting();
    return Reception::Accepted;
}

void ReceptionModel::reset()
{
    m_lastRequest = 0;
    m_firstReceptionPending = true;
    m_waiting.clear();
}

void ReceptionModel::edit(int page, int column, std::uint8_t value)
{
    m_buffer.at(static_cast<std::size_t>(page)).at(static_cast<std::size_t>(column)) = value;
}

void ReceptionModel::startPressed()
{
    m_pages.push_back({m_nextId++, kStartPage, 0, false, false});
}

void ReceptionModel::startEnded()
{
    // A failed write has already taken the page off.
    if (m_pages.empty() || m_pages.back().served)
        return;
    require(m_pages.back().column == kColumns, "the Start page is cut short");
    m_pages.pop_back();
}

void ReceptionModel::octetWritten(std::uint8_t octet)
{
    require(!m_closed, "an octet is written after the stop");
    require(!m_pages.empty(), "an octet is written outside any page");
    PageInProgress &page = m_pages.back();
    require(!page.awaitingYield, "two octets of a served page without a yield between");
    require(page.column < kColumns, "a page is longer than 61 octets");
    require(octet == m_buffer[static_cast<std::size_t>(page.page)]
                             [static_cast<std::size_t>(page.column)],
            "an octet differs from the buffer byte of its page and column");
    ++page.column;
    page.awaitingYield = page.served;
}

void ReceptionModel::writeFailed()
{
    require(!m_pages.empty(), "a write fails outside any page");
    require(!m_pages.back().awaitingYield, "two octets of a served page without a yield between");
    m_pages.pop_back();
    ++m_expectedReports;
}

long ReceptionModel::yieldEntered()
{
    require(!m_closed, "a yield after the stop");
    require(!m_pages.empty(), "a yield outside any page");
    PageInProgress &page = m_pages.back();
    require(page.served, "the Start page yields");
    require(page.awaitingYield, "a yield without an octet before it");
    page.awaitingYield = false;
    return page.id;
}

void ReceptionModel::yieldReturned(long page, bool proceed)
{
    // After a stop the pages still open are abandoned where they stand.
    if (!proceed || m_closed)
        return;
    require(!m_pages.empty() && m_pages.back().id == page,
            "a yield returns to a page other than the one it left");
    if (m_pages.back().column < kColumns)
        return;
    m_pages.pop_back();
    if (!m_waiting.empty())
        serveNextWaiting();
}

void ReceptionModel::serveNextWaiting()
{
    const std::int32_t request = m_waiting.front();
    m_waiting.pop_front();
    m_pages.push_back({m_nextId++, kPageOfRequest[static_cast<std::size_t>(request)], 0, true,
                       false});
}

int ReceptionModel::servingHandlers() const
{
    return static_cast<int>(std::count_if(m_pages.begin(), m_pages.end(),
                                          [](const PageInProgress &p) { return p.served; }));
}

} // namespace kestrin::fuzz
