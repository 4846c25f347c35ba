// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kestrin::fuzz {

// The fuzzer's bytes, read front to back. Reading past the end gives zeros
// and empty text, so every input is a complete, valid script.
class FuzzInput
{
public:
    explicit FuzzInput(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    [[nodiscard]] bool empty() const { return m_next >= m_bytes.size(); }

    [[nodiscard]] std::uint8_t byte()
    {
        return empty() ? std::uint8_t{0} : m_bytes[m_next++];
    }

    [[nodiscard]] std::string text(std::size_t length)
    {
        const std::size_t available = m_bytes.size() - std::min(m_next, m_bytes.size());
        const std::size_t taken = std::min(length, available);
        std::string out(reinterpret_cast<const char *>(m_bytes.data() + m_next), taken);
        m_next += taken;
        return out;
    }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_next = 0;
};

} // namespace kestrin::fuzz
