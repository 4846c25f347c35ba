// SPDX-License-Identifier: MIT
#pragma once

#include "page_protocol.h"

#include <string>
#include <string_view>

namespace kestrin {

// The operations of the communications control that the serial link uses,
// and nothing more. The program's control sits on a real serial port; tests
// and the fuzzer use doubles. Writing one octet is the page sender's BytePort.
class CommPort : public BytePort
{
public:
    virtual void setCommPort(int number) = 0;
    virtual void setSettings(std::string_view settings) = 0;
    virtual void setRThreshold(int characters) = 0;
    virtual void setInputLen(int characters) = 0;
    // Throws RunTimeError naming the device when it cannot be opened.
    virtual void setPortOpen(bool open) = 0;
    // All waiting input, as text (one octet per character).
    [[nodiscard]] virtual std::string input() = 0;
    [[nodiscard]] virtual int commEvent() const = 0;
};

} // namespace kestrin
