#include "GlyphlessFont.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace pagemint {

namespace {

// Big-endian fields, as every TrueType table stores them.
class Bytes {
public:
    Bytes &u16(unsigned value)
    {
        text_ += char((value >> 8U) & 0xFFU);
        text_ += char(value & 0xFFU);
        return *this;
    }
    Bytes &s16(int value) { return u16(unsigned(value) & 0xFFFFU); }
    Bytes &u32(std::uint32_t value) { return u16(value >> 16U).u16(value & 0xFFFFU); }
    Bytes &tag(std::string_view name)
    {
        text_ += name;
        return *this;
    }
    Bytes &zeros(std::size_t count)
    {
        text_.append(count, '\0');
        return *this;
    }
    const std::string &text() const { return text_; }

private:
    std::string text_;
};

struct Table {
    std::string_view tag;
    std::string bytes;
};

constexpr unsigned kGlyphs = 2;
constexpr unsigned kAdvance = kGlyphlessUnitsPerEm / 2;

// Sum of the big-endian 32-bit words, the last one padded with zeros.
std::uint32_t checksum(std::string_view bytes)
{
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        std::uint32_t word = 0;
        for (std::size_t k = 0; k < 4; ++k)
            word = (word << 8U) | (i + k < bytes.size() ? static_cast<unsigned char>(bytes[i + k]) : 0U);
        sum += word;
    }
    return sum;
}

std::string head()
{
    Bytes b;
    b.u32(0x00010000).u32(0x00010000); // version, font revision
    b.u32(0);                          // checksum adjustment, set once the whole font is known
    b.u32(0x5F0F3CF5);                 // magic number
    b.u16(0x000B);                     // baseline and left side bearing at 0, integer scaling
    b.u16(kGlyphlessUnitsPerEm);
    b.zeros(16); // created, modified
    b.s16(0).s16(kGlyphlessDescent).s16(kGlyphlessUnitsPerEm).s16(kGlyphlessAscent);
    b.u16(0).u16(8).s16(2); // style, smallest readable size, direction hint
    b.s16(0).s16(0);        // short loca offsets, glyph data format
    return b.text();
}

std::string hhea()
{
    Bytes b;
    b.u32(0x00010000).s16(kGlyphlessAscent).s16(kGlyphlessDescent).s16(0);
    b.u16(kAdvance).s16(0).s16(0).s16(0); // widest advance, bearings, extent
    b.s16(1).s16(0).s16(0);               // upright caret
    b.zeros(8).s16(0).u16(kGlyphs);       // reserved, metric format, advances listed
    return b.text();
}

std::string maxp()
{
    Bytes b;
    b.u32(0x00010000).u16(kGlyphs);
    b.zeros(8).u16(2).zeros(16); // no points or contours; two zones; no storage, functions, stack
    return b.text();
}

std::string hmtx()
{
    Bytes b;
    for (unsigned glyph = 0; glyph < kGlyphs; ++glyph)
        b.u16(kAdvance).s16(0);
    return b.text();
}

std::string loca()
{
    // Every glyph starts and ends at 0: all of them empty.
    return Bytes().zeros(2 * (kGlyphs + 1)).text();
}

std::string cmap()
{
    // Windows Unicode, format 4 with only the closing segment: no character maps to a glyph here;
    // the PDF maps its codes to glyph 1 itself.
    Bytes b;
    b.u16(0).u16(1).u16(3).u16(1).u32(12);
    b.u16(4).u16(24).u16(0);          // format, length, language
    b.u16(2).u16(2).u16(0).u16(0);    // one segment
    b.u16(0xFFFF).u16(0).u16(0xFFFF); // end, pad, start
    b.u16(1).u16(0);                  // delta, range offset
    return b.text();
}

std::string post()
{
    Bytes b;
    b.u32(0x00030000).u32(0).s16(-100).s16(50).u32(0).zeros(16); // no glyph names
    return b.text();
}

} // namespace

std::string glyphlessTrueType()
{
    // Tables in tag order, as the directory must list them; glyf is empty.
    const std::array<Table, 8> tables = {{{"cmap", cmap()},
                                          {"glyf", {}},
                                          {"head", head()},
                                          {"hhea", hhea()},
                                          {"hmtx", hmtx()},
                                          {"loca", loca()},
                                          {"maxp", maxp()},
                                          {"post", post()}}};
    Bytes directory;
    directory.u32(0x00010000).u16(tables.size()).u16(128).u16(3).u16(0); // 8 tables: 16*8, log2 8, 0
    std::string body;
    const std::size_t start = 12 + 16 * tables.size();
    std::size_t headAt = 0;
    for (const Table &table : tables) {
        if (table.tag == "head")
            headAt = start + body.size();
        directory.tag(table.tag).u32(checksum(table.bytes)).u32(std::uint32_t(start + body.size()));
        directory.u32(std::uint32_t(table.bytes.size()));
        body += table.bytes;
        body.append((4 - body.size() % 4) % 4, '\0');
    }
    std::string font = directory.text() + body;
    const std::uint32_t adjustment = 0xB1B0AFBAU - checksum(font);
    for (std::size_t k = 0; k < 4; ++k)
        font[headAt + 8 + k] = char((adjustment >> (24U - 8U * k)) & 0xFFU);
    return font;
}

} // namespace pagemint
