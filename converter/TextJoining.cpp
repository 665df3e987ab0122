#include "TextJoining.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace pagemint {

namespace {
struct Range {
    char32_t first, last;
};

// In code point order.
constexpr Range kCjk[] = {
    {0x1100, 0x11FF},   // Hangul Jamo
    {0x2E80, 0x2FDF},   // CJK radicals, Kangxi radicals
    {0x2FF0, 0x303F},   // ideographic description, CJK symbols and punctuation
    {0x3040, 0x31FF},   // kana, Bopomofo, Hangul compatibility Jamo, Kanbun, strokes
    {0x3200, 0x4DBF},   // enclosed letters, compatibility, Han extension A
    {0x4E00, 0x9FFF},   // Han
    {0xA960, 0xA97F},   // Hangul Jamo extension A
    {0xAC00, 0xD7FF},   // Hangul syllables, Jamo extension B
    {0xF900, 0xFAFF},   // Han compatibility
    {0xFE10, 0xFE1F},   // vertical forms
    {0xFE30, 0xFE4F},   // CJK compatibility forms
    {0xFF00, 0xFFEF},   // fullwidth and halfwidth forms
    {0x1B000, 0x1B16F}, // kana supplement and extensions
    {0x20000, 0x3FFFF}, // Han extensions B onwards, compatibility supplement
};

bool within(char32_t c, const Range &r)
{
    return c >= r.first && c <= r.last;
}
} // namespace

std::u32string codePoints(std::string_view utf8)
{
    std::u32string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        std::uint32_t c = length == 1 ? lead : length == 2 ? lead & 0x1FU : length == 3 ? lead & 0x0FU : lead & 0x07U;
        bool whole = length != 0 && i + length <= utf8.size();
        for (std::size_t k = 1; whole && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            whole = (next & 0xC0U) == 0x80U;
            c = (c << 6U) | (next & 0x3FU);
        }
        out += whole ? char32_t(c) : U'\uFFFD';
        i += whole ? length : 1;
    }
    return out;
}

bool isCjk(char32_t c)
{
    const auto *const after = std::upper_bound(std::begin(kCjk), std::end(kCjk), c,
                                               [](char32_t value, const Range &r) { return value < r.first; });
    return after != std::begin(kCjk) && within(c, *std::prev(after));
}

bool isWide(char32_t c)
{
    // Halfwidth katakana, Hangul and symbols.
    return isCjk(c) && !within(c, {0xFF61, 0xFFDC}) && !within(c, {0xFFE8, 0xFFEE});
}

bool joinsWithoutSpace(std::string_view left, std::string_view right)
{
    const std::u32string a = codePoints(left), b = codePoints(right);
    if (a.empty() || b.empty())
        return false;
    // The Chinese model reads many a full-width comma as a word of its own, ",".
    const auto punctuationAlone = [](const std::u32string &word) {
        return std::all_of(word.begin(), word.end(), [](char32_t c) {
            return c < 0x80 && std::string_view("!\"'(),-.:;?[]{}").find(char(c)) != std::string_view::npos;
        });
    };
    return (isCjk(a.back()) && (isCjk(b.front()) || punctuationAlone(b))) || (isCjk(b.front()) && punctuationAlone(a));
}

} // namespace pagemint
