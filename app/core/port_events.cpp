// SPDX-License-Identifier: MIT
#include "port_events.h"

namespace kestrin {

const PortEventKind *classifyPortEvent(int code)
{
    for (const PortEventKind &kind : kPortEventTable) {
        if (kind.code == code)
            return &kind;
    }
    return nullptr;
}

} // namespace kestrin
