// SPDX-License-Identifier: MIT
#pragma once

#include "request_number.h"
#include "serial_link.h"

#include <array>
#include <optional>
#include <string_view>
#include <utility>

namespace kestrin::test {

// What the board may expect of each reception, kept apart from the serial
// link: text that is no number changes nothing; any number becomes the last
// request; the first number is the greeting and goes unanswered; after it
// 0..8 ask for a page and any other number for nothing. The fuzz target
// checks every octet the link writes against it, the soak the whole wire.
class ReceptionModel
{
public:
    // Written out again rather than taken from the code under test.
    static constexpr std::array<int, 9> kPageOfRequest{5, 0, 1, 6, 7, 2, 3, 4, 0};

    // The page the reception must be answered with, if any.
    [[nodiscard]] std::optional<int> receive(std::string_view text)
    {
        const std::optional<std::int32_t> number = parseRequestNumber(text);
        if (!number)
            return std::nullopt;
        m_state.lastRequest = *number;
        if (std::exchange(m_state.firstReceptionPending, false) || *number < 0 || *number > 8)
            return std::nullopt;
        return kPageOfRequest[static_cast<std::size_t>(*number)];
    }

    // A line opened anew: the board greets again.
    void reset() { m_state = {}; }
    [[nodiscard]] const ProtocolState &state() const { return m_state; }

private:
    ProtocolState m_state;
};

} // namespace kestrin::test
