#pragma once
// The invisible text laid over a page's picture: one run per recognised line in render mode 3
// (neither filled nor stroked), its words at their boxes, and the one font all pages share.

#include "PagePlacement.h"
#include "contract/PageText.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace pagemint {

// The two-byte codes the document's text is written in: each character takes the next code the
// first time any page uses it, so the font's widths and its Unicode map list exactly what the
// pages hold. Code 0 stands for every character past the last code.
class TextCodes {
public:
    std::uint16_t code(char32_t c);
    // The characters of codes 1, 2, ... in order.
    const std::vector<char32_t> &characters() const { return characters_; }

private:
    std::unordered_map<char32_t, std::uint16_t> codes_;
    std::vector<char32_t> characters_;
};

// The name the page resources give the font.
inline constexpr std::string_view kTextFontName = "F0";

// Content-stream operators laying `text` over the picture drawn in `box`: the picture's grid
// (text.width x text.height, top left origin) stretched onto it. Font size is a line's height;
// each word spans its box (Tz), a word joined to the next without a space reaches to where that
// one starts, and a space between others covers their gap.
std::string textLayerContent(const PageText &text, const Placement &box, TextCodes &codes);

// The objects of the shared font, numbered from `first` (the Type0 font itself, which the pages
// name), each as "<body>\nendobj\n" to follow its "N 0 obj" line.
inline constexpr std::uint64_t kTextFontObjects = 6;
std::vector<std::string> textFontObjects(const TextCodes &codes, std::uint64_t first);

} // namespace pagemint
