// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace kestrin {

// Event codes of the communications control.
namespace comm_event {
inline constexpr int kSend = 1;
inline constexpr int kReceive = 2;
inline constexpr int kCts = 3;
inline constexpr int kDsr = 4;
inline constexpr int kCd = 5;
inline constexpr int kRing = 6;
inline constexpr int kEof = 7;
inline constexpr int kBreak = 1001;
inline constexpr int kFrame = 1004;
inline constexpr int kOverrun = 1006;
inline constexpr int kRxOver = 1008;
inline constexpr int kRxParity = 1009;
inline constexpr int kTxFull = 1010;
inline constexpr int kDcb = 1011;
} // namespace comm_event

enum class PortEventAction { None, Receive };

struct PortEventKind
{
    int code;
    PortEventAction action;
    std::string_view traceLabel; // empty: the event is not traced
};

// Tested in this order; the first matching code decides.
inline constexpr std::array<PortEventKind, 14> kPortEventTable{{
    {comm_event::kBreak, PortEventAction::None, "Break"},
    {comm_event::kFrame, PortEventAction::None, "Frame Error"},
    {comm_event::kOverrun, PortEventAction::None, "Overrun"},
    {comm_event::kRxOver, PortEventAction::None, "RxOver"},
    {comm_event::kRxParity, PortEventAction::None, "RxParity"},
    {comm_event::kTxFull, PortEventAction::None, "TxFull"},
    {comm_event::kDcb, PortEventAction::None, ""},
    {comm_event::kCd, PortEventAction::None, "EvCD"},
    {comm_event::kCts, PortEventAction::None, "CTS"},
    {comm_event::kDsr, PortEventAction::None, "DSR"},
    {comm_event::kRing, PortEventAction::None, "Ring"},
    {comm_event::kReceive, PortEventAction::Receive, ""},
    {comm_event::kSend, PortEventAction::None, ""},
    {comm_event::kEof, PortEventAction::None, "EOF encounterd"},
}};

// The table entry for an event code, or nullptr for a code the table lacks
// (which falls through with no action).
[[nodiscard]] const PortEventKind *classifyPortEvent(int code);

} // namespace kestrin
