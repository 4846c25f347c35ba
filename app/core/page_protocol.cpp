// SPDX-License-Identifier: MIT
#include "page_protocol.h"

#include "run_time_error.h"

#include <string>

namespace kestrin {

int pageForRequest(std::int32_t request)
{
    if (request < 0 || request >= static_cast<std::int32_t>(kRequestMap.size()))
        throw SubscriptError("request " + std::to_string(request) + " is outside 0..8");
    return kRequestMap[static_cast<std::size_t>(request)];
}

void sendStartPage(const FrameBuffer &buffer, BytePort &port)
{
    for (int column = 0; column < kPageColumns; ++column)
        port.writeOctet(buffer.read(kStartPage, column));
}

} // namespace kestrin
