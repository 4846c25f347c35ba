// SPDX-License-Identifier: MIT
#include <pixels/colour_value.h>

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <utility>

namespace pixels {
namespace {

constexpr quint32 SystemColourFlag = 0x80000000U;

// Theme colours by index, taken from the application palette so that they
// follow the desktop theme.
constexpr std::array<std::pair<quint8, QPalette::ColorRole>, 7> SystemColourRoles{{
    {5, QPalette::Base},             // window background
    {6, QPalette::WindowText},       // window frame
    {8, QPalette::Text},             // window text
    {13, QPalette::Highlight},       // selected item
    {14, QPalette::HighlightedText}, // selected item text
    {15, QPalette::Button},          // button face
    {18, QPalette::ButtonText},      // button text
}};

QColor systemColour(quint8 index)
{
    const auto *entry = std::find_if(SystemColourRoles.begin(), SystemColourRoles.end(),
                                     [index](const auto &role) { return role.first == index; });
    if (entry == SystemColourRoles.end())
        throw std::out_of_range("unknown system colour " + std::to_string(index));
    return QGuiApplication::palette().color(QPalette::Active, entry->second);
}

} // namespace

QColor colourFromValue(quint32 value)
{
    if ((value & SystemColourFlag) != 0)
        return systemColour(static_cast<quint8>(value & 0xFFU));
    return QColor(static_cast<int>(value & 0xFFU), static_cast<int>((value >> 8) & 0xFFU),
                  static_cast<int>((value >> 16) & 0xFFU));
}

} // namespace pixels
