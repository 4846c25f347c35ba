// SPDX-License-Identifier: MIT
#include "line_factory.h"

#include "comm_control.h"
#include "network_address.h"
#include "network_control.h"

namespace kestrin {

std::unique_ptr<LineControl> makeLineControl(std::optional<QString> device)
{
    if (device && isNetworkDevice(*device))
        return std::make_unique<NetworkControl>(*device);
    return std::make_unique<CommControl>(std::move(device));
}

} // namespace kestrin
