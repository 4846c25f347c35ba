// SPDX-License-Identifier: MIT
#include "ignored_receptions.h"

#include <array>

namespace kestrin {

namespace {

std::string timeOfDay(std::time_t time)
{
    std::tm local{};
    localtime_r(&time, &local);
    std::array<char, 16> text{};
    return std::strftime(text.data(), text.size(), "%H:%M:%S", &local) > 0 ? text.data() : "?";
}

} // namespace

bool IgnoredReceptions::ignore(Clock::time_point now, std::time_t wallNow)
{
    if (!m_periodEnd) {
        m_periodEnd = now + kQuietPeriod;
        return true;
    }
    if (m_counted++ == 0)
        m_since = wallNow;
    return false;
}

std::optional<std::string> IgnoredReceptions::endPeriod(Clock::time_point now)
{
    if (m_counted == 0) {
        m_periodEnd.reset();
        return std::nullopt;
    }
    std::string line = std::to_string(m_counted) + " more reception" + (m_counted == 1 ? "" : "s")
                       + " ignored since " + timeOfDay(m_since);
    m_counted = 0;
    m_periodEnd = now + kQuietPeriod;
    return line;
}

} // namespace kestrin
