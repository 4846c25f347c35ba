// SPDX-License-Identifier: MIT
#include "board_client.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace board {

void BoardClient::greet()
{
    send(kGreeting);
    if (!m_line.waitUntilRead(kPageTimeout))
        throw std::runtime_error("the host did not read the greeting on " + m_line.path());
}

Page BoardClient::requestPage(int request)
{
    send(std::to_string(request));
    std::string answer;
    const auto deadline = std::chrono::steady_clock::now() + kPageTimeout;
    while (answer.size() < kPageOctets) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const std::string chunk = left.count() > 0 ? m_line.readSome(left) : std::string{};
        if (chunk.empty())
            throw std::runtime_error("request " + std::to_string(request) + ": the host sent "
                                     + std::to_string(answer.size()) + " of "
                                     + std::to_string(kPageOctets) + " octets within "
                                     + std::to_string(kPageTimeout.count()) + " ms");
        answer += chunk;
        m_pacer.received(chunk.size());
    }
    if (answer.size() > kPageOctets)
        throw std::runtime_error("request " + std::to_string(request) + ": the host sent "
                                 + std::to_string(answer.size()) + " octets, more than a page");
    Page page{};
    std::transform(answer.begin(), answer.end(), page.begin(),
                   [](char octet) { return static_cast<std::uint8_t>(octet); });
    return page;
}

LcdFrame BoardClient::requestFrame()
{
    LcdFrame frame;
    for (const PagePlace &place : kDisplayOrder)
        frame.place(place, requestPage(place.request));
    return frame;
}

std::string BoardClient::exchange(std::string_view text)
{
    send(text);
    std::string answer;
    while (answer.size() < kPageOctets) {
        const std::string chunk = m_line.readSome(kQuiet);
        if (chunk.empty())
            break;
        answer += chunk;
        m_pacer.received(chunk.size());
    }
    return answer;
}

// Paced, the octets go one at a time, each once the line is free for it.
void BoardClient::send(std::string_view text)
{
    if (!m_pacer.enabled()) {
        m_line.write(text);
        return;
    }
    for (std::size_t octet = 0; octet < text.size(); ++octet) {
        m_pacer.sending();
        m_line.write(text.substr(octet, 1));
    }
}

} // namespace board
