// SPDX-License-Identifier: MIT
#include "command_tokens.h"

namespace kestrin {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

char closingQuote(char c)
{
    if (c == '"')
        return '"';
    return c == '{' ? '}' : '\0';
}

char escaped(char c)
{
    switch (c) {
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    default:
        return c;
    }
}

} // namespace

std::optional<std::vector<std::string>> tokenizeCommand(std::string_view line)
{
    std::vector<std::string> words;
    bool inWord = false;
    char quote = '\0';
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quote == '\0' && isBlank(c)) {
            inWord = false;
            continue;
        }
        if (!inWord && quote == '\0')
            words.emplace_back();
        inWord = true;
        if (c == '\\' && i + 1 < line.size()) {
            words.back() += escaped(line[++i]);
        } else if (quote != '\0' && c == quote) {
            quote = '\0';
            inWord = false;
        } else if (quote == '\0' && closingQuote(c) != '\0') {
            quote = closingQuote(c);
        } else if (c != '\\') {
            words.back() += c;
        }
    }
    if (quote != '\0')
        return std::nullopt;
    return words;
}

} // namespace kestrin
