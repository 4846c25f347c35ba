// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <ctime>
#include <optional>
#include <string>

namespace kestrin {

// Keeps a board that sends junk from flooding the log: the first reception
// ignored is told in full, and those that follow within kQuietPeriod are
// only counted. When the period ends, the count is told in one line and a
// new period begins; a period without any ends quietly, and the next
// ignored reception is told in full again.
class IgnoredReceptions
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kQuietPeriod{60};

    // One reception ignored at now (wallNow for the log's time of day).
    // True when it is to be told in full.
    [[nodiscard]] bool ignore(Clock::time_point now, std::time_t wallNow);

    // When the current period ends, while one runs.
    [[nodiscard]] std::optional<Clock::time_point> periodEnd() const { return m_periodEnd; }

    // Called once the period has ended: "57 more receptions ignored since
    // 12:03:10" when any were counted, which starts a new period; nullopt
    // when none were, which ends the quiet.
    [[nodiscard]] std::optional<std::string> endPeriod(Clock::time_point now);

private:
    std::optional<Clock::time_point> m_periodEnd;
    long m_counted = 0;
    std::time_t m_since = 0; // when the first of those counted came
};

} // namespace kestrin
