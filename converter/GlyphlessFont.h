#pragma once
// The bytes of a TrueType font whose every glyph is empty: the text layer is never drawn, so its
// font needs metrics and no outlines. Glyph 1 is the one every code is mapped to; glyph 0 is the
// required .notdef. Made here rather than shipped, so no font file has to travel with pdf.exe.

#include <string>

namespace pagemint {

inline constexpr int kGlyphlessUnitsPerEm = 1000;
// Where a line's box sits around its baseline, as fractions of the font size: text laid at a
// line's height keeps a reader's word boxes over the line.
inline constexpr int kGlyphlessAscent = 800;
inline constexpr int kGlyphlessDescent = -200;

std::string glyphlessTrueType();

} // namespace pagemint
