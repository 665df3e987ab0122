#include "BmpHeader.h"

#include "FileBytes.h"
#include "contract/Reasons.h"

namespace pagemint::decoder {

namespace {
bool knownDepth(unsigned bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// The picture's kind, for a refusal; empty when some reader here takes it.
std::string unsupportedKind(const BmpHeader &h)
{
    if (!knownDepth(h.bitsPerPixel))
        return "每像素 " + std::to_string(h.bitsPerPixel) + " 位的BMP";
    if (h.os2() && h.is(BmpCompression::Bitfields))
        return "霍夫曼编码的OS/2 BMP";
    if (h.os2() && h.is(BmpCompression::Jpeg))
        return "RLE24压缩的OS/2 BMP";
    if (h.is(BmpCompression::Jpeg))
        return "内嵌JPEG的BMP";
    if (h.is(BmpCompression::Png))
        return "内嵌PNG的BMP";
    if (h.compression > static_cast<std::uint32_t>(BmpCompression::AlphaBitfields))
        return "压缩方式为 " + std::to_string(h.compression) + " 的BMP";
    return {};
}

// A compression that cannot go with the depth: the header contradicts itself.
bool contradicts(const BmpHeader &h)
{
    if (h.is(BmpCompression::Rle8))
        return h.bitsPerPixel != 8;
    if (h.is(BmpCompression::Rle4))
        return h.bitsPerPixel != 4;
    if (h.is(BmpCompression::Bitfields) || h.is(BmpCompression::AlphaBitfields))
        return h.bitsPerPixel != 16 && h.bitsPerPixel != 32;
    return false;
}

void readMasks(std::span<const unsigned char> head, BmpHeader &h)
{
    const bool separate = h.infoSize == 40;
    const unsigned count = !separate || h.is(BmpCompression::AlphaBitfields) ? 4 : 3;
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t at = 14 + 40 + 4 * i;
        // Inside the header, the alpha mask is there from the 56-byte header on.
        if (!separate && at + 4 > 14 + h.infoSize)
            break;
        if (at + 4 <= head.size())
            h.masks[i] = le32(head.data() + at);
    }
}
} // namespace

std::optional<BmpHeader> parseBmpHeader(std::span<const unsigned char> head)
{
    if (head.size() < 26 || head[0] != 'B' || head[1] != 'M')
        return std::nullopt;
    BmpHeader h;
    h.dataOffset = le32(&head[10]);
    h.infoSize = le32(&head[14]);
    if (h.infoSize == 12) {
        h.width = le16(&head[18]);
        h.height = le16(&head[20]);
        h.bitsPerPixel = le16(&head[24]);
        return h;
    }
    if (h.infoSize < 16 || h.infoSize > 124 || head.size() < 30)
        return std::nullopt;
    const auto width = static_cast<std::int32_t>(le32(&head[18]));
    const auto height = static_cast<std::int32_t>(le32(&head[22]));
    if (width < 0 || height == INT32_MIN)
        return std::nullopt;
    h.width = static_cast<std::uint32_t>(width);
    h.topDown = height < 0;
    h.height = static_cast<std::uint32_t>(height < 0 ? -height : height);
    h.bitsPerPixel = le16(&head[28]);
    if (h.infoSize >= 20 && head.size() >= 34)
        h.compression = le32(&head[30]);
    if (h.infoSize >= 40 && head.size() >= 46) {
        h.dotsPerMeterX = le32(&head[38]);
        h.dotsPerMeterY = le32(&head[42]);
    }
    if (!h.os2() && (h.is(BmpCompression::Bitfields) || h.is(BmpCompression::AlphaBitfields)))
        readMasks(head, h);
    return h;
}

BmpReader bmpReader(const BmpHeader &header)
{
    if (!unsupportedKind(header).empty() || contradicts(header))
        return BmpReader::None;
    if (header.is(BmpCompression::Bitfields) || header.is(BmpCompression::AlphaBitfields))
        return BmpReader::Bitfields;
    if (header.is(BmpCompression::Rle8) || header.is(BmpCompression::Rle4) || header.infoSize >= 108)
        return BmpReader::SecondReader;
    return BmpReader::FreeImage;
}

DecodeOutcome bmpRefusal(const BmpHeader &header)
{
    if (const std::string kind = unsupportedKind(header); !kind.empty())
        return DecodeOutcome::refused(ExitCode::UnsupportedKind, reason::inBrackets(reason::kUnsupportedKind, kind));
    return DecodeOutcome::refused(
        ExitCode::Damaged,
        reason::inBrackets(reason::kDamaged, "压缩方式 " + std::to_string(header.compression) + " 与每像素 " +
                                                 std::to_string(header.bitsPerPixel) + " 位不符"));
}

} // namespace pagemint::decoder
