#include "TextLayer.h"

#include "GlyphlessFont.h"
#include "PdfSyntax.h"
#include "TextJoining.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace pagemint {

namespace {

constexpr int kWideWidth = 1000, kNarrowWidth = 500;
// A space between words whose boxes touch or overlap still gets a little room.
constexpr double kLeastSpace = 0.05;
// Lines smaller than this (a tall picture squeezed onto a small page) are left out: no reader could
// select them, and their numbers would round to nothing.
constexpr double kSmallestSize = 0.01;
// A CMap lists at most 100 codes in one block.
constexpr std::size_t kCMapBlock = 100;

int widthOf(char32_t c)
{
    return isWide(c) ? kWideWidth : kNarrowWidth;
}

void appendHex16(std::string &out, unsigned value)
{
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04X", value & 0xFFFFU);
    out += hex;
}

// UTF-16BE, a character past U+FFFF as its surrogate pair.
std::string utf16Hex(char32_t c)
{
    std::string hex;
    if (c > 0xFFFF) {
        const char32_t rest = c - 0x10000;
        appendHex16(hex, 0xD800U + (rest >> 10U));
        appendHex16(hex, 0xDC00U + (rest & 0x3FFU));
    } else {
        appendHex16(hex, c);
    }
    return hex;
}

// One line's text object: each piece shown from one x to another at the line's baseline.
class LineRun {
public:
    LineRun(std::string &out, double size, double baseline, TextCodes &codes)
        : out_(out), size_(size), baseline_(baseline), codes_(codes)
    {
        out_ += "BT\n3 Tr\n/" + std::string(kTextFontName) + ' ' + pdfNumber(size) + " Tf\n";
    }

    void show(double from, double to, std::u32string_view characters)
    {
        // Td moves from the start of the last piece; the first one from the text space's origin.
        out_ +=
            started_ ? pdfNumber(from - lastX_) + " 0 Td\n" : pdfNumber(from) + ' ' + pdfNumber(baseline_) + " Td\n";
        started_ = true;
        lastX_ = from;
        std::string hex = "<";
        int units = 0;
        for (const char32_t c : characters) {
            appendHex16(hex, codes_.code(c));
            units += widthOf(c);
        }
        const double natural = units * size_ / kGlyphlessUnitsPerEm;
        out_ += pdfNumber(100 * (to - from) / natural) + " Tz\n" + hex + "> Tj\n";
    }

    void end() { out_ += "ET\n"; }

private:
    std::string &out_;
    double size_, baseline_;
    TextCodes &codes_;
    bool started_ = false;
    double lastX_ = 0;
};

std::string widths(const TextCodes &codes)
{
    // The default width is the narrow one: only runs of wide codes are listed.
    std::string list;
    const std::vector<char32_t> &characters = codes.characters();
    for (std::size_t i = 0; i < characters.size();) {
        if (widthOf(characters[i]) != kWideWidth) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end + 1 < characters.size() && widthOf(characters[end + 1]) == kWideWidth)
            ++end;
        list += ' ' + std::to_string(i + 1) + ' ' + std::to_string(end + 1) + ' ' + std::to_string(kWideWidth);
        i = end + 1;
    }
    return "/DW " + std::to_string(kNarrowWidth) + " /W [" + list + " ]";
}

std::string toUnicode(const TextCodes &codes)
{
    std::vector<std::pair<unsigned, char32_t>> entries{{0U, U'\uFFFD'}};
    for (std::size_t i = 0; i < codes.characters().size(); ++i)
        entries.emplace_back(unsigned(i + 1), codes.characters()[i]);
    std::string cmap = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                       "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                       "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                       "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    for (std::size_t i = 0; i < entries.size(); i += kCMapBlock) {
        const std::size_t end = std::min(entries.size(), i + kCMapBlock);
        cmap += std::to_string(end - i) + " beginbfchar\n";
        for (std::size_t k = i; k < end; ++k) {
            cmap += '<';
            appendHex16(cmap, entries[k].first);
            cmap += "> <" + utf16Hex(entries[k].second) + ">\n";
        }
        cmap += "endbfchar\n";
    }
    return cmap + "endcmap\nCMapName currentdict /CMapResource defineresource pop\nend\nend\n";
}

} // namespace

std::uint16_t TextCodes::code(char32_t c)
{
    if (const auto found = codes_.find(c); found != codes_.end())
        return found->second;
    if (characters_.size() == std::numeric_limits<std::uint16_t>::max())
        return 0;
    characters_.push_back(c);
    const auto code = std::uint16_t(characters_.size());
    codes_.emplace(c, code);
    return code;
}

std::string textLayerContent(const PageText &text, const Placement &box, TextCodes &codes)
{
    const double scaleX = box.width / text.width, scaleY = box.height / text.height;
    const auto pageX = [&](int x) { return box.x + x * scaleX; };
    std::string out;
    for (const TextLine &line : text.lines) {
        const double size = (line.box.y1 - line.box.y0) * scaleY;
        if (size < kSmallestSize)
            continue;
        LineRun run(out, size, box.y + box.height - line.baseline * scaleY, codes);
        for (std::size_t i = 0; i < line.words.size(); ++i) {
            const TextWord &word = line.words[i];
            const TextWord *next = i + 1 < line.words.size() ? &line.words[i + 1] : nullptr;
            const double x0 = pageX(word.box.x0), x1 = pageX(word.box.x1);
            const double nextX0 = next != nullptr ? pageX(next->box.x0) : x1;
            const bool joined = next != nullptr && joinsWithoutSpace(word.text, next->text);
            // Joined words meet, or a reader sees the gap between them as a space.
            run.show(x0, joined && nextX0 > x0 ? nextX0 : x1, codePoints(word.text));
            if (next != nullptr && !joined)
                run.show(x1, std::max(nextX0, x1 + kLeastSpace * size), U" ");
        }
        run.end();
    }
    return out;
}

std::vector<std::string> textFontObjects(const TextCodes &codes, std::uint64_t first)
{
    const std::string name = "/PagemintGlyphless";
    const std::string font = glyphlessTrueType();
    // Every code shows glyph 1.
    std::string glyphs;
    for (std::size_t code = 0; code <= codes.characters().size(); ++code)
        glyphs += std::string("\0\1", 2);
    return {
        "<< /Type /Font /Subtype /Type0 /BaseFont " + name + " /Encoding /Identity-H /DescendantFonts [" +
            pdfRef(first + 1) + "] /ToUnicode " + pdfRef(first + 5) + " >>\nendobj\n",
        "<< /Type /Font /Subtype /CIDFontType2 /BaseFont " + name +
            " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> /FontDescriptor " +
            pdfRef(first + 2) + ' ' + widths(codes) + " /CIDToGIDMap " + pdfRef(first + 4) + " >>\nendobj\n",
        "<< /Type /FontDescriptor /FontName " + name + " /Flags 4 /FontBBox [0 " + std::to_string(kGlyphlessDescent) +
            ' ' + std::to_string(kGlyphlessUnitsPerEm) + ' ' + std::to_string(kGlyphlessAscent) +
            "] /ItalicAngle 0 /Ascent " + std::to_string(kGlyphlessAscent) + " /Descent " +
            std::to_string(kGlyphlessDescent) + " /CapHeight " + std::to_string(kGlyphlessAscent) +
            " /StemV 80 /FontFile2 " + pdfRef(first + 3) + " >>\nendobj\n",
        pdfStream("/Length1 " + std::to_string(font.size()), font),
        pdfStream({}, glyphs),
        pdfStream({}, toUnicode(codes)),
    };
}

} // namespace pagemint
