// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace board {

// The board's end of the serial line: the master side of a new
// pseudo-terminal whose slave side the host opens, or an existing device.
// Failures throw std::runtime_error.
class BoardLine
{
public:
    [[nodiscard]] static BoardLine createPty();
    [[nodiscard]] static BoardLine openDevice(const std::string &path);

    BoardLine(BoardLine &&other) noexcept;
    BoardLine &operator=(BoardLine &&) = delete;
    BoardLine(const BoardLine &) = delete;
    BoardLine &operator=(const BoardLine &) = delete;
    ~BoardLine();

    // The device the host opens.
    [[nodiscard]] const std::string &path() const { return m_path; }

    // Returns once the host has opened the pseudo-terminal's slave side; at
    // once for a device.
    void waitForHost();
    void write(std::string_view octets);
    // Returns once the host has read everything written, so that the next
    // write reaches it as a reception of its own. False on timeout.
    [[nodiscard]] bool waitUntilRead(std::chrono::milliseconds timeout);
    // Octets written that wait, unread, in the host's input queue of a
    // pseudo-terminal; always 0 for a device.
    [[nodiscard]] int waitingForHost() const;
    // The descriptor the board reads and writes, for an event loop to watch
    // (a board that answers its host from inside the host's own event loop).
    [[nodiscard]] int descriptor() const { return m_line; }
    // What the host sent, waiting up to timeout for the first octet; empty
    // when nothing came.
    [[nodiscard]] std::string readSome(std::chrono::milliseconds timeout);

private:
    BoardLine() = default;

    int m_line = -1;    // the master side, or the device
    int m_slave = -1;   // our own slave descriptor: keeps the line up, shows the host's queue
    int m_openWatch = -1;
    std::string m_path;
};

} // namespace board
