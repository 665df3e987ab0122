#pragma once
// A choice and the word that names it in settings files, on command lines and in arguments: one
// table per choice, read back in any case.

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <utility>

namespace pagemint {

template <typename Choice, std::size_t N> using ChoiceWords = std::array<std::pair<Choice, std::string_view>, N>;

// Equal but for the case of ASCII letters.
inline bool sameWord(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// The word of `choice`; the table's first word for a choice it does not hold.
template <typename Choice, std::size_t N> std::string_view wordOf(const ChoiceWords<Choice, N> &words, Choice choice)
{
    for (const auto &[c, word] : words)
        if (c == choice)
            return word;
    return words[0].second;
}

template <typename Choice, std::size_t N>
std::optional<Choice> choiceOf(const ChoiceWords<Choice, N> &words, std::string_view word)
{
    for (const auto &[c, w] : words)
        if (sameWord(w, word))
            return c;
    return std::nullopt;
}

} // namespace pagemint
