// SPDX-License-Identifier: MIT
#pragma once

#include "screen.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrin {

// Every screen of every client, and the server's own, in the order they were
// added; which one is on the display, and for how long.
//
// Each tick the screen shown counts one tick shown and, with a timeout, one
// tick less to live: at 0 it is deleted. Then the highest class present
// decides: a screen of a lower class gives way at once; among info,
// foreground and background screens the next one in order follows when the
// one shown has had its duration. A deleted screen gives way at once, too.
// Its owner hears "ignore <id>" when a screen leaves the display and
// "listen <id>" when it comes on.
class ScreenList
{
public:
    // The server screen's time on the display, a tick over a second.
    static constexpr int kServerScreenDuration = kTicksPerSecond + 1;

    using Notify = std::function<void(int owner, const std::string &line)>;

    explicit ScreenList(Notify notify);

    // The server's own screen, owner 0; it takes part as an info screen
    // while enabled.
    [[nodiscard]] Screen &serverScreen() { return *m_screens.front(); }
    void setServerScreenEnabled(bool enabled);

    Screen &add(int owner, std::string id);
    void remove(const Screen &screen);
    void removeOwner(int owner);
    [[nodiscard]] Screen *find(int owner, std::string_view id);
    [[nodiscard]] int count(int owner) const;
    [[nodiscard]] int clientScreenCount() const;

    void tick();
    // nullptr when no screen can be shown.
    [[nodiscard]] const Screen *current() const { return m_current; }

private:
    [[nodiscard]] bool showable(const Screen &screen) const;
    [[nodiscard]] std::optional<Priority> highestClass() const;
    [[nodiscard]] std::size_t indexOf(const Screen *screen) const;
    // The first showable screen of the highest class after position `after`,
    // going round; nullptr when there is none.
    [[nodiscard]] Screen *nextAfter(std::size_t after) const;
    void show(Screen *screen);

    Notify m_notify;
    std::vector<std::unique_ptr<Screen>> m_screens;
    Screen *m_current = nullptr;
    int m_shownTicks = 0;
    bool m_serverScreenEnabled = true;
};

} // namespace kestrin
