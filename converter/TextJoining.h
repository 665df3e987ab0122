#pragma once
// How the words of a recognised line join into the text a reader copies: the recogniser gives each
// Han character as a word of its own, and a space between two of them would break every phrase
// apart. Plain functions, so the rule has a table test.

#include <string>
#include <string_view>

namespace pagemint {

// The characters of UTF-8 text; a byte that starts no whole character becomes U+FFFD.
std::u32string codePoints(std::string_view utf8);

// Han, kana, Hangul, CJK punctuation and symbols, fullwidth and halfwidth forms: the writing that
// puts no spaces between its words.
bool isCjk(char32_t c);
// Takes a full em: CJK, apart from the halfwidth forms.
bool isWide(char32_t c);

// True when two neighbouring words of a line join with nothing between them: the last character of
// `left` and the first of `right` are both CJK, or one of them is CJK and the other word is ASCII
// punctuation alone. Otherwise one space joins them.
bool joinsWithoutSpace(std::string_view left, std::string_view right);

} // namespace pagemint
