// SPDX-License-Identifier: MIT
#include "menu_items.h"

#include "protocol_numbers.h"

#include <algorithm>
#include <array>

namespace kestrin {

namespace {

enum class Value : std::uint8_t { Text, Number, Boolean, Checkbox, MenuResult };

struct Option
{
    std::string_view type; // "" for every type
    std::string_view name;
    Value value;
};

constexpr std::array<Option, 26> kOptions{{
    {"", "text", Value::Text},
    {"", "is_hidden", Value::Boolean},
    {"", "prev", Value::Text},
    {"", "next", Value::Text},
    {"action", "menu_result", Value::MenuResult},
    {"checkbox", "value", Value::Checkbox},
    {"checkbox", "allow_gray", Value::Boolean},
    {"ring", "value", Value::Number},
    {"ring", "strings", Value::Text},
    {"slider", "value", Value::Number},
    {"slider", "minvalue", Value::Number},
    {"slider", "maxvalue", Value::Number},
    {"slider", "stepsize", Value::Number},
    {"slider", "mintext", Value::Text},
    {"slider", "maxtext", Value::Text},
    {"numeric", "value", Value::Number},
    {"numeric", "minvalue", Value::Number},
    {"numeric", "maxvalue", Value::Number},
    {"alpha", "value", Value::Text},
    {"alpha", "password_char", Value::Text},
    {"alpha", "minlength", Value::Number},
    {"alpha", "maxlength", Value::Number},
    {"alpha", "allow_caps", Value::Boolean},
    {"alpha", "allow_noncaps", Value::Boolean},
    {"ip", "value", Value::Text},
    {"ip", "v6", Value::Boolean},
}};

constexpr std::array<std::string_view, 8> kItemTypes{"menu", "action", "checkbox", "ring",
                                                     "slider", "numeric", "alpha", "ip"};

constexpr std::string_view kNoMenu = "huh? Cannot find menu id";

bool valid(Value kind, std::string_view value)
{
    switch (kind) {
    case Value::Text:
        return true;
    case Value::Number:
        return wholeNumber(value).has_value();
    case Value::Boolean:
        return value == "true" || value == "false";
    case Value::Checkbox:
        return value == "off" || value == "on" || value == "gray";
    case Value::MenuResult:
        return value == "none" || value == "close" || value == "quit";
    }
    return false;
}

const Option *optionNamed(std::string_view type, std::string_view name)
{
    const auto found = std::find_if(kOptions.begin(), kOptions.end(), [&](const Option &option) {
        return (option.type.empty() || option.type == type) && option.name == name;
    });
    return found == kOptions.end() ? nullptr : &*found;
}

std::string quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

} // namespace

bool MenuItems::exists(std::string_view id) const
{
    return std::any_of(m_items.begin(), m_items.end(), [id](const Item &item) { return item.id == id; });
}

std::vector<std::string> MenuItems::checkOptions(std::string_view type, std::span<const std::string> options)
{
    std::vector<std::string> replies;
    for (std::size_t i = 0; i < options.size(); ++i) {
        const std::string &word = options[i];
        if (!word.starts_with('-')) {
            replies.push_back("huh? Found non-option: " + quoted(word));
            continue;
        }
        const Option *option = optionNamed(type, std::string_view(word).substr(1));
        if (option == nullptr) {
            replies.push_back("huh? Unknown option: " + quoted(word));
        } else if (i + 1 == options.size()) {
            replies.push_back("huh? Missing value at option: " + quoted(word));
        } else if (!valid(option->value, options[i + 1])) {
            replies.push_back("huh? Could not interpret value at option: " + quoted(word));
            // A refused menu result is read again as a word of its own.
            if (option->value != Value::MenuResult)
                ++i;
        } else {
            ++i;
        }
    }
    replies.emplace_back("success");
    return replies;
}

std::vector<std::string> MenuItems::add(std::span<const std::string> args)
{
    if (!m_open)
        return {"huh? You need to give your client a name first"};
    if (args.size() < 3)
        return {"huh? Usage: menu_add_item <menuid> <newitemid> <type> [<text>] [<option>]+"};
    if (!args[0].empty() && !exists(args[0]))
        return {std::string(kNoMenu)};
    if (args[1].empty() || exists(args[1]))
        return {"huh? Item id already in use"};
    if (std::find(kItemTypes.begin(), kItemTypes.end(), args[2]) == kItemTypes.end())
        return {"huh? Invalid menuitem type"};
    if (m_items.size() >= kMaxItems)
        return {"huh? Too many menu items"};
    m_items.push_back({args[1], args[2], args[0]});
    const std::size_t firstOption = args.size() > 3 && !args[3].starts_with('-') ? 4 : 3;
    return checkOptions(args[2], args.subspan(firstOption));
}

std::vector<std::string> MenuItems::set(std::span<const std::string> args)
{
    if (args.size() < 3)
        return {"huh? Usage: menu_set_item <menuid> <itemid> {<option>}+"};
    if (!m_open || (!args[0].empty() && !exists(args[0])))
        return {std::string(kNoMenu)};
    const auto item = std::find_if(m_items.begin(), m_items.end(), [&](const Item &i) { return i.id == args[1]; });
    if (item == m_items.end())
        return {"huh? Cannot find item"};
    return checkOptions(item->type, args.subspan(2));
}

std::vector<std::string> MenuItems::remove(std::span<const std::string> args)
{
    if (args.size() != 2)
        return {"huh? Usage: menu_del_item <menuid> <itemid>"};
    if (!m_open)
        return {"huh? Client has no menu"};
    if (!args[0].empty() && !exists(args[0]))
        return {std::string(kNoMenu)};
    if (!exists(args[1]))
        return {"huh? Cannot find item"};
    // The item goes with everything inside it.
    std::vector<std::string> going{args[1]};
    for (std::size_t i = 0; i < going.size(); ++i) {
        for (const Item &item : m_items) {
            if (item.menu == going[i])
                going.push_back(item.id);
        }
    }
    std::erase_if(m_items, [&](const Item &item) {
        return std::find(going.begin(), going.end(), item.id) != going.end();
    });
    return {"success"};
}

std::vector<std::string> MenuItems::goTo(std::span<const std::string> args) const
{
    if (args.empty() || args.size() > 2)
        return {"huh? Usage: menu_goto <menuid> [<predecessor_id>]"};
    if (!m_open || (!args[0].empty() && !exists(args[0])))
        return {std::string(kNoMenu)};
    return {"success"};
}

std::vector<std::string> MenuItems::setMain(std::span<const std::string> args) const
{
    if (args.size() != 1)
        return {"huh? Usage: menu_set_main <menuid>"};
    if (!args[0].empty() && args[0] != "_main_" && !exists(args[0]))
        return {std::string(kNoMenu)};
    return {"success"};
}

} // namespace kestrin
