// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace kestrin {

// Which client reserved which key, shared or exclusively. The board has no
// keys, so nothing is ever delivered; the reservations only decide the
// replies: a key reserved exclusively by anyone, itself included, cannot be
// reserved again, and an exclusive reservation needs a key nobody holds.
class KeyReservations
{
public:
    static constexpr int kMaxKeysPerClient = 64;

    // False when the key cannot be reserved, or the client holds the most.
    [[nodiscard]] bool reserve(int client, const std::string &key, bool exclusive);
    void release(int client, const std::string &key);
    void releaseAll(int client);

private:
    struct Reservation
    {
        int client = 0;
        std::string key;
        bool exclusive = false;
    };

    std::vector<Reservation> m_reservations;
};

} // namespace kestrin
