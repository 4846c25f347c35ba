// SPDX-License-Identifier: MIT
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrin {

// A client's menu items. The board has no keys to open a menu with, so the
// items are only kept to answer menu_add_item, menu_set_item, menu_del_item,
// menu_goto and menu_set_main as clients expect: ids, the menu each is in,
// and the checks of their options.
class MenuItems
{
public:
    static constexpr int kMaxItems = 256;

    // The client's own menu, "", exists once the client has a name.
    void open() { m_open = true; }
    [[nodiscard]] bool isOpen() const { return m_open; }

    // The replies of each command, from the arguments after its name.
    [[nodiscard]] std::vector<std::string> add(std::span<const std::string> args);
    [[nodiscard]] std::vector<std::string> set(std::span<const std::string> args);
    [[nodiscard]] std::vector<std::string> remove(std::span<const std::string> args);
    [[nodiscard]] std::vector<std::string> goTo(std::span<const std::string> args) const;
    [[nodiscard]] std::vector<std::string> setMain(std::span<const std::string> args) const;

private:
    struct Item
    {
        std::string id;
        std::string type;
        std::string menu; // the item it is in; "" is the client's menu
    };

    [[nodiscard]] bool exists(std::string_view id) const;
    [[nodiscard]] static std::vector<std::string> checkOptions(std::string_view type,
                                                               std::span<const std::string> options);

    bool m_open = false;
    std::vector<Item> m_items;
};

} // namespace kestrin
