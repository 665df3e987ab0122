#pragma once
// What a BMP's headers say, read before any loader: which reader here takes the picture, or why
// none does. FreeImage 3.18 reads the classic headers well but refuses every V4 and V5 header, gives
// wrong colours for most bit-field masks and leaves rows that run-length data never paints in its
// palette's first colour; Qt's reader takes V4, V5 and run-length data (painted rows are told apart
// there), and the bit-field masks are read here (BitfieldBmp.h). Standard library only.

#include "contract/DecodeOutcome.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace pagemint::decoder {

// Enough bytes for the file header, the largest info header and the masks that may follow it.
inline constexpr std::size_t kBmpHeadBytes = 14 + 124 + 16;

enum class BmpCompression : std::uint32_t {
    Rgb = 0,
    Rle8 = 1,
    Rle4 = 2,
    Bitfields = 3, // Huffman 1D in an OS/2 header
    Jpeg = 4,      // RLE24 in an OS/2 header
    Png = 5,
    AlphaBitfields = 6,
};

struct BmpHeader {
    std::uint32_t dataOffset = 0;
    std::uint32_t infoSize = 0; // 12, 16 and 64 OS/2; 40, 52, 56, 108 (V4), 124 (V5) Windows
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool topDown = false; // a negative height: the first row in the file is the top one
    unsigned bitsPerPixel = 0;
    std::uint32_t compression = 0;
    std::uint32_t masks[4] = {}; // red, green, blue, alpha; 0 where the file gives none
    std::uint32_t dotsPerMeterX = 0;
    std::uint32_t dotsPerMeterY = 0;

    bool os2() const { return infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize < 108; }
    bool is(BmpCompression kind) const { return compression == static_cast<std::uint32_t>(kind); }
    // Bytes of one stored row of an uncompressed picture, padded to four bytes.
    std::uint64_t rowBytes() const { return (std::uint64_t(width) * bitsPerPixel + 31) / 32 * 4; }
};

// The headers at the start of a BMP (`head`: its first kBmpHeadBytes bytes, or all of a shorter
// file); nothing when they are cut short or name no header this format has.
std::optional<BmpHeader> parseBmpHeader(std::span<const unsigned char> head);

enum class BmpReader { FreeImage, Bitfields, SecondReader, None };

BmpReader bmpReader(const BmpHeader &header);

// Why no reader here takes the picture (for BmpReader::None): a valid kind no reader takes, or a
// header that contradicts itself.
DecodeOutcome bmpRefusal(const BmpHeader &header);

} // namespace pagemint::decoder
