// SPDX-License-Identifier: MIT
#include "reception_model.h"

#include <array>
#include <utility>

namespace kestrin::fuzz {

namespace {

// Written out again rather than taken from the code under test.
constexpr std::array<int, 9> kPageOfRequest{5, 0, 1, 6, 7, 2, 3, 4, 0};

} // namespace

bool ReceptionModel::receive(std::optional<std::int32_t> number)
{
    if (!number)
        return false;
    m_state.lastRequest = *number;
    if (std::exchange(m_state.firstReceptionPending, false))
        return false;
    if (*number < 0 || *number >= static_cast<std::int32_t>(kPageOfRequest.size()))
        return false;
    m_waiting.push_back(*number);
    if (m_pages.size() < kNestingLimit)
        serveNextWaiting();
    return true;
}

void ReceptionModel::reset()
{
    m_state = ProtocolState{};
    m_waiting.clear();
}

void ReceptionModel::octetWritten(std::uint8_t octet)
{
    require(!m_stopped, "an octet is written after the stop");
    require(!m_pages.empty(), "an octet is written outside any page");
    OpenPage &open = m_pages.back();
    require(!open.awaitingYield, "two octets of a page without a yield between");
    require(open.column < kPageColumns, "a page is longer than 61 octets");
    require(octet == m_buffer.read(open.page, open.column),
            "an octet differs from the buffer byte of its page and column");
    ++open.column;
    open.awaitingYield = true;
}

void ReceptionModel::writeFailed()
{
    require(!m_pages.empty() && !m_pages.back().awaitingYield, "a write fails where none is due");
    m_pages.pop_back();
}

std::size_t ReceptionModel::yieldEntered()
{
    require(!m_stopped, "a yield after the stop");
    require(!m_pages.empty() && m_pages.back().awaitingYield, "a yield without an octet before it");
    m_pages.back().awaitingYield = false;
    return m_pages.size();
}

void ReceptionModel::yieldReturned(std::size_t openPages, bool proceed)
{
    // A stop abandons every open page where it stands.
    if (!proceed || m_stopped)
        return;
    require(m_pages.size() == openPages, "a yield returns with a page opened inside it unfinished");
    if (m_pages.back().column < kPageColumns)
        return;
    m_pages.pop_back();
    if (!m_waiting.empty())
        serveNextWaiting();
}

void ReceptionModel::serveNextWaiting()
{
    m_pages.push_back({kPageOfRequest[static_cast<std::size_t>(m_waiting.front())], 0, false});
    m_waiting.pop_front();
}

} // namespace kestrin::fuzz
