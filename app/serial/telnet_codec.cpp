// SPDX-License-Identifier: MIT
#include "telnet_codec.h"

#include <array>
#include <initializer_list>

namespace kestrin {

namespace {

namespace octet {
constexpr std::uint8_t kSe = 240;
constexpr std::uint8_t kSb = 250;
constexpr std::uint8_t kWill = 251;
constexpr std::uint8_t kWont = 252;
constexpr std::uint8_t kDo = 253;
constexpr std::uint8_t kDont = 254;
constexpr std::uint8_t kIac = 255;
} // namespace octet

namespace option {
constexpr std::uint8_t kBinary = 0;
constexpr std::uint8_t kSuppressGoAhead = 3;
constexpr std::uint8_t kComPort = 44;
} // namespace option

// The client's COM port commands.
namespace com_port {
constexpr std::uint8_t kSetBaudRate = 1;
constexpr std::uint8_t kSetDataSize = 2;
constexpr std::uint8_t kSetParity = 3;
constexpr std::uint8_t kSetStopSize = 4;
constexpr std::uint8_t kSetControl = 5;
constexpr std::uint8_t kNoFlowControl = 1;
} // namespace com_port

// Parity letters in the order of their COM port values 1..5.
constexpr std::string_view kParityValues = "NOEMS";

constexpr std::array<std::uint8_t, 3> kLocalOptions{option::kBinary, option::kSuppressGoAhead, option::kComPort};
constexpr std::array<std::uint8_t, 2> kRemoteOptions{option::kBinary, option::kSuppressGoAhead};

template <std::size_t Size>
bool contains(const std::array<std::uint8_t, Size> &options, std::uint8_t option)
{
    for (const std::uint8_t known : options) {
        if (known == option)
            return true;
    }
    return false;
}

std::string command(std::uint8_t verb, std::uint8_t option)
{
    return {static_cast<char>(octet::kIac), static_cast<char>(verb), static_cast<char>(option)};
}

std::uint8_t stopSize(StopBits stopBits)
{
    switch (stopBits) {
    case StopBits::One:
        return 1;
    case StopBits::Two:
        return 2;
    case StopBits::OneAndHalf:
        return 3;
    }
    return 1;
}

// IAC SB COM-PORT-OPTION command value... IAC SE, 0xFF in the value doubled.
std::string comPortCommand(std::uint8_t code, std::initializer_list<std::uint8_t> value)
{
    std::string text = command(octet::kSb, option::kComPort) + static_cast<char>(code);
    for (const std::uint8_t part : value)
        text += TelnetCodec::encode(part);
    return text + static_cast<char>(octet::kIac) + static_cast<char>(octet::kSe);
}

} // namespace

TelnetCodec::TelnetCodec(LineSettings line) : m_line(line) {}

std::string TelnetCodec::opening()
{
    m_local.set(option::kBinary).set(option::kComPort);
    m_remote.set(option::kBinary);
    return command(octet::kWill, option::kBinary) + command(octet::kDo, option::kBinary)
           + command(octet::kWill, option::kComPort);
}

std::string TelnetCodec::encode(std::uint8_t octet)
{
    return octet == octet::kIac ? std::string(2, static_cast<char>(octet)) : std::string(1, static_cast<char>(octet));
}

TelnetCodec::Decoded TelnetCodec::decode(std::string_view received)
{
    Decoded decoded;
    for (const char character : received) {
        const auto octet = static_cast<std::uint8_t>(character);
        switch (m_state) {
        case State::Data:
            if (octet == octet::kIac)
                m_state = State::Command;
            else
                decoded.data += character;
            break;
        case State::Command:
            m_verb = octet;
            if (octet == octet::kIac)
                decoded.data += character;
            m_state = octet == octet::kSb ? State::Subnegotiation
                      : octet >= octet::kWill && octet <= octet::kDont ? State::Option
                                                                       : State::Data;
            break;
        case State::Option:
            negotiate(m_verb, octet, decoded.replies);
            m_state = State::Data;
            break;
        // The bridge's answers and notifications: its line state, modem
        // lines and flow control. None changes what is served.
        case State::Subnegotiation:
            if (octet == octet::kIac)
                m_state = State::SubnegotiationCommand;
            break;
        case State::SubnegotiationCommand:
            m_state = octet == octet::kSe ? State::Data : State::Subnegotiation;
            break;
        }
    }
    return decoded;
}

// Each side answers a request only when it changes the option's state, so
// that no two ends can keep answering each other.
void TelnetCodec::negotiate(std::uint8_t verb, std::uint8_t option, std::string &replies)
{
    switch (verb) {
    case octet::kDo:
        if (!contains(kLocalOptions, option)) {
            replies += command(octet::kWont, option);
            return;
        }
        if (!m_local.test(option))
            replies += command(octet::kWill, option);
        m_local.set(option);
        if (option == option::kComPort && !m_comPortAgreed) {
            m_comPortAgreed = true;
            replies += lineRequests();
        }
        return;
    case octet::kDont:
        if (m_local.test(option))
            replies += command(octet::kWont, option);
        m_local.reset(option);
        if (option == option::kComPort)
            m_comPortAgreed = false;
        return;
    case octet::kWill:
        if (!contains(kRemoteOptions, option))
            replies += command(octet::kDont, option);
        else if (!m_remote.test(option))
            replies += command(octet::kDo, option);
        m_remote.set(option, contains(kRemoteOptions, option));
        return;
    default:
        if (m_remote.test(option))
            replies += command(octet::kDont, option);
        m_remote.reset(option);
        return;
    }
}

std::string TelnetCodec::lineRequests() const
{
    const auto baud = static_cast<std::uint32_t>(m_line.baud);
    const auto parity = static_cast<std::uint8_t>(kParityValues.find(m_line.parity) + 1);
    return comPortCommand(com_port::kSetBaudRate, {static_cast<std::uint8_t>(baud >> 24), static_cast<std::uint8_t>(baud >> 16),
                                                   static_cast<std::uint8_t>(baud >> 8), static_cast<std::uint8_t>(baud)})
           + comPortCommand(com_port::kSetDataSize, {static_cast<std::uint8_t>(m_line.dataBits)})
           + comPortCommand(com_port::kSetParity, {parity})
           + comPortCommand(com_port::kSetStopSize, {stopSize(m_line.stopBits)})
           + comPortCommand(com_port::kSetControl, {com_port::kNoFlowControl});
}

} // namespace kestrin
