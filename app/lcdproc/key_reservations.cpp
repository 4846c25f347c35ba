// SPDX-License-Identifier: MIT
#include "key_reservations.h"

#include <algorithm>

namespace kestrin {

bool KeyReservations::reserve(int client, const std::string &key, bool exclusive)
{
    bool held = false;
    bool heldByThisClient = false;
    for (const Reservation &reservation : m_reservations) {
        if (reservation.key != key)
            continue;
        if (reservation.exclusive)
            return false;
        held = true;
        heldByThisClient = heldByThisClient || reservation.client == client;
    }
    if (exclusive && held)
        return false;
    const auto holds = std::count_if(m_reservations.begin(), m_reservations.end(),
                                     [client](const Reservation &r) { return r.client == client; });
    if (!heldByThisClient && holds >= kMaxKeysPerClient)
        return false;
    if (!heldByThisClient)
        m_reservations.push_back({client, key, exclusive});
    return true;
}

void KeyReservations::release(int client, const std::string &key)
{
    std::erase_if(m_reservations, [&](const Reservation &r) { return r.client == client && r.key == key; });
}

void KeyReservations::releaseAll(int client)
{
    std::erase_if(m_reservations, [client](const Reservation &r) { return r.client == client; });
}

} // namespace kestrin
