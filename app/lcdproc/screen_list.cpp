// SPDX-License-Identifier: MIT
#include "screen_list.h"

#include <algorithm>

namespace kestrin {

namespace {

bool rotates(Priority priority)
{
    return priority != Priority::Alert && priority != Priority::Input;
}

} // namespace

ScreenList::ScreenList(Notify notify) : m_notify(std::move(notify))
{
    auto server = std::make_unique<Screen>();
    server->duration = kServerScreenDuration;
    m_screens.push_back(std::move(server));
    m_current = m_screens.front().get();
}

void ScreenList::setServerScreenEnabled(bool enabled)
{
    m_serverScreenEnabled = enabled;
    if (!enabled && m_current == &serverScreen())
        show(nextAfter(0));
}

Screen &ScreenList::add(int owner, std::string id)
{
    auto screen = std::make_unique<Screen>();
    screen->owner = owner;
    screen->id = std::move(id);
    m_screens.push_back(std::move(screen));
    return *m_screens.back();
}

void ScreenList::remove(const Screen &screen)
{
    const std::size_t index = indexOf(&screen);
    if (index == 0 || index == m_screens.size())
        return;
    const bool wasShown = m_current == &screen;
    if (wasShown) {
        m_notify(screen.owner, "ignore " + screen.id);
        m_current = nullptr;
    }
    m_screens.erase(m_screens.begin() + static_cast<std::ptrdiff_t>(index));
    if (wasShown)
        show(nextAfter(index - 1));
}

void ScreenList::removeOwner(int owner)
{
    const std::size_t index = indexOf(m_current);
    const bool shownGoes = m_current != nullptr && m_current->owner == owner;
    if (shownGoes)
        m_current = nullptr;
    // Counts the screens before the one shown that go too, to keep its place.
    const auto before = std::count_if(m_screens.begin(), m_screens.begin() + static_cast<std::ptrdiff_t>(std::min(index, m_screens.size())),
                                      [owner](const auto &screen) { return screen->owner == owner; });
    std::erase_if(m_screens, [owner](const auto &screen) { return screen->owner == owner; });
    if (shownGoes)
        show(nextAfter(index - static_cast<std::size_t>(before) - 1));
}

Screen *ScreenList::find(int owner, std::string_view id)
{
    const auto found = std::find_if(m_screens.begin() + 1, m_screens.end(), [&](const auto &screen) {
        return screen->owner == owner && screen->id == id;
    });
    return found == m_screens.end() ? nullptr : found->get();
}

int ScreenList::count(int owner) const
{
    return static_cast<int>(std::count_if(m_screens.begin() + 1, m_screens.end(),
                                          [owner](const auto &screen) { return screen->owner == owner; }));
}

int ScreenList::clientScreenCount() const
{
    return static_cast<int>(m_screens.size()) - 1;
}

void ScreenList::tick()
{
    if (m_current != nullptr) {
        ++m_shownTicks;
        if (m_current->timeout > 0 && --m_current->timeout == 0) {
            remove(*m_current);
            return;
        }
    }
    const auto highest = highestClass();
    if (m_current == nullptr || !showable(*m_current) || m_current->priority != highest)
        show(nextAfter(indexOf(m_current)));
    else if (rotates(*highest) && m_shownTicks >= m_current->duration)
        show(nextAfter(indexOf(m_current)));
}

bool ScreenList::showable(const Screen &screen) const
{
    if (&screen == m_screens.front().get())
        return m_serverScreenEnabled;
    return screen.priority != Priority::Hidden;
}

std::optional<Priority> ScreenList::highestClass() const
{
    std::optional<Priority> highest;
    for (const auto &screen : m_screens) {
        if (showable(*screen) && (!highest || screen->priority > *highest))
            highest = screen->priority;
    }
    return highest;
}

std::size_t ScreenList::indexOf(const Screen *screen) const
{
    const auto found = std::find_if(m_screens.begin(), m_screens.end(),
                                    [screen](const auto &entry) { return entry.get() == screen; });
    return static_cast<std::size_t>(found - m_screens.begin());
}

Screen *ScreenList::nextAfter(std::size_t after) const
{
    const auto highest = highestClass();
    if (!highest)
        return nullptr;
    const std::size_t size = m_screens.size();
    for (std::size_t step = 1; step <= size; ++step) {
        Screen *candidate = m_screens[(after + step) % size].get();
        if (showable(*candidate) && candidate->priority == *highest)
            return candidate;
    }
    return nullptr;
}

void ScreenList::show(Screen *screen)
{
    m_shownTicks = 0;
    if (screen == m_current)
        return;
    if (m_current != nullptr)
        m_notify(m_current->owner, "ignore " + m_current->id);
    m_current = screen;
    if (m_current != nullptr)
        m_notify(m_current->owner, "listen " + m_current->id);
}

} // namespace kestrin
