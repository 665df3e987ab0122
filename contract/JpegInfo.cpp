#include "contract/JpegInfo.h"

#include "contract/Reasons.h"
#include "contract/TiffReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <vector>

namespace pagemint {

namespace {

using Bytes = std::span<const unsigned char>;

unsigned be16(Bytes b, std::size_t at)
{
    return unsigned(b[at]) << 8 | b[at + 1];
}

bool startsWith(Bytes b, std::string_view prefix)
{
    return b.size() >= prefix.size() && std::memcmp(b.data(), prefix.data(), prefix.size()) == 0;
}

// Names the format a mislabelled file really is, so the user learns why it was left out.
std::string notJpegReason(Bytes data)
{
    static constexpr std::array<std::pair<std::string_view, const char *>, 7> signatures{{
        {"\x89PNG", "PNG"},
        {"GIF8", "GIF"},
        {"BM", "BMP"},
        {std::string_view("II*\0", 4), "TIFF"},
        {std::string_view("MM\0*", 4), "TIFF"},
        {"%PDF", "PDF"},
        {"RIFF", "RIFF/WebP"},
    }};
    for (const auto &[magic, name] : signatures)
        if (startsWith(data, magic))
            return reason::inBrackets(reason::kNotJpeg, name);
    return std::string(reason::kNotJpeg);
}

struct ExifFields {
    int orientation = 0;
    double xResolution = 0, yResolution = 0;
    unsigned resolutionUnit = 2; // EXIF's default is inches
};

constexpr unsigned kShort = 3, kRational = 5;

ExifFields readExif(Bytes tiffBytes)
{
    ExifFields fields;
    TiffReader tiff(tiffBytes);
    if (!tiff.open())
        return fields;
    const std::uint64_t ifd = tiff.u32(4);
    if (!tiff.has(ifd, 2))
        return fields;
    const unsigned count = tiff.u16(ifd);
    for (unsigned i = 0; i < count; ++i) {
        const std::uint64_t entry = ifd + 2 + std::uint64_t(i) * 12;
        if (!tiff.has(entry, 12))
            break;
        const unsigned tag = tiff.u16(entry), type = tiff.u16(entry + 2);
        const std::uint32_t n = tiff.u32(entry + 4);
        if (n < 1)
            continue;
        if (type == kShort) {
            // A SHORT sits in the first two bytes of the value field.
            if (tag == 0x0112)
                fields.orientation = int(tiff.u16(entry + 8));
            else if (tag == 0x0128)
                fields.resolutionUnit = tiff.u16(entry + 8);
        } else if (type == kRational) {
            if (tag == 0x011A)
                fields.xResolution = tiff.rational(tiff.u32(entry + 8));
            else if (tag == 0x011B)
                fields.yResolution = tiff.rational(tiff.u32(entry + 8));
        }
    }
    return fields;
}

std::string damaged(std::string_view what)
{
    return reason::inBrackets(reason::kDamaged, what);
}

std::string unsupported(std::string_view what)
{
    return reason::inBrackets(reason::kUnsupportedKind, what);
}

// What a frame marker (SOFn) says about whether PDF readers can show the picture.
std::string frameTypeProblem(unsigned marker)
{
    switch (marker) {
    case 0xC0: // baseline
    case 0xC1: // extended sequential, Huffman
    case 0xC2: // progressive, Huffman
        return {};
    case 0xC3:
        return unsupported("无损JPEG");
    case 0xC5:
    case 0xC6:
    case 0xC7:
        return unsupported("分层JPEG");
    default:
        return unsupported("算术编码JPEG");
    }
}

constexpr std::string_view kFrameHeader = "帧头有误";

bool isFrameMarker(unsigned marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::string readFrame(unsigned marker, Bytes p, JpegInfo &info)
{
    if (std::string problem = frameTypeProblem(marker); !problem.empty())
        return problem;
    if (p.size() < 6)
        return damaged(kFrameHeader);
    const unsigned precision = p[0], components = p[5];
    if (precision != 8)
        return unsupported(std::to_string(precision) + "位JPEG");
    if (p.size() != 6 + 3 * std::size_t(components))
        return damaged(kFrameHeader);
    if (components != 1 && components != 3 && components != 4)
        return unsupported(std::to_string(components) + "个颜色分量");
    info.height = int(be16(p, 1));
    info.width = int(be16(p, 3));
    if (info.height == 0)
        return unsupported("高度在图像数据之后给出");
    if (info.width == 0)
        return reason::inBrackets(reason::kNoSize, "宽度为0");
    for (unsigned c = 0; c < components; ++c) {
        const unsigned sampling = p[6 + 3 * c + 1], table = p[6 + 3 * c + 2];
        const unsigned h = sampling >> 4, v = sampling & 15;
        if (h < 1 || h > 4 || v < 1 || v > 4 || table > 3)
            return damaged(kFrameHeader);
    }
    info.components = int(components);
    info.bitsPerComponent = 8;
    info.progressive = marker == 0xC2;
    return {};
}

struct Resolution {
    double x = 0, y = 0;
    bool known() const { return x > 0 && y > 0; }
};

Resolution readJfif(Bytes p)
{
    // "JFIF\0", version (2), units (1), density x (2), density y (2)
    if (p.size() < 12 || !startsWith(p, std::string_view("JFIF\0", 5)))
        return {};
    const double perInch = p[7] == 1 ? 1.0 : p[7] == 2 ? 2.54 : 0.0; // 0: aspect ratio only
    return {be16(p, 8) * perInch, be16(p, 10) * perInch};
}

// Entropy-coded data never holds FF D9 (an FF there is always followed by 00 or a restart
// marker), so the last FF D9 after the first scan is the end marker; a cut-off file has none.
bool holdsEndMarker(Bytes bytes)
{
    for (std::size_t i = bytes.size(); i >= 2; --i)
        if (bytes[i - 2] == 0xFF && bytes[i - 1] == 0xD9)
            return true;
    return false;
}

// The file's bytes, one window at a time: a request inside the window costs no read; any other
// refills the window from where the request starts, with `least` bytes beyond the request (where
// the next marker usually is). The window never holds more than that, whatever the file holds.
class Window {
public:
    Window(const ReadAt &read, std::uintmax_t size, std::size_t least)
        : read_(read), size_(size), least_(std::max<std::size_t>(least, 1))
    {
    }

    // The `n` bytes at `offset` (they lie in the file); false with `reason` when reading failed.
    bool at(std::uint64_t offset, std::size_t n, Bytes &bytes, std::string &reason)
    {
        const bool inside =
            offset >= start_ && offset - start_ <= filled_.size() && n <= filled_.size() - (offset - start_);
        if (!inside) {
            filled_.resize(std::size_t(std::min<std::uintmax_t>(size_ - offset, n + least_)));
            start_ = offset;
            if (!read_(offset, filled_, reason)) {
                filled_.clear();
                return false;
            }
        }
        bytes = Bytes(filled_).subspan(std::size_t(offset - start_), n);
        return true;
    }

private:
    const ReadAt &read_;
    std::uintmax_t size_;
    std::size_t least_;
    std::uint64_t start_ = 0;
    std::vector<unsigned char> filled_;
};

constexpr std::size_t kJfifLength = 12, kAdobeLength = 12, kExifTagLength = 6;

// Walks the markers from the start of the file to the first scan, reading the segments the page
// needs and stepping over the others by their lengths. `scanStart`: where the picture data begins.
bool walkHeader(Window &window, std::uintmax_t size, JpegInfo &info, std::string &reason, std::uint64_t &scanStart)
{
    const auto fail = [&](std::string why) {
        reason = std::move(why);
        return false;
    };
    const auto cutShort = [&] { return fail(std::string(reason::kHeaderCutShort)); };
    Bytes bytes;
    if (!window.at(0, std::size_t(std::min<std::uintmax_t>(size, 4)), bytes, reason))
        return false;
    if (size < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8 || bytes[2] != 0xFF)
        return fail(notJpegReason(bytes));

    Resolution jfif, exif;
    bool haveFrame = false, haveJfif = false, haveExif = false;
    std::uint64_t pos = 2;
    for (;;) {
        if (pos >= size)
            return cutShort();
        if (!window.at(pos, 1, bytes, reason))
            return false;
        if (bytes[0] != 0xFF)
            return fail(damaged("缺少标记"));
        unsigned marker = 0xFF;
        while (marker == 0xFF) { // fill bytes may pad any marker
            if (++pos >= size)
                return cutShort();
            if (!window.at(pos, 1, bytes, reason))
                return false;
            marker = bytes[0];
        }
        ++pos;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // markers without a segment
        if (marker == 0x00 || marker == 0xD8 || marker == 0xD9)
            return fail(damaged(marker == 0xD9 ? "没有图像数据" : "意外的标记"));
        if (size - pos < 2)
            return cutShort();
        if (!window.at(pos, 2, bytes, reason))
            return false;
        const std::size_t length = be16(bytes, 0);
        if (length < 2)
            return fail(damaged("段长度有误"));
        if (size - pos < length)
            return cutShort();
        const std::uint64_t payloadAt = pos + 2;
        const std::size_t payloadLength = length - 2;
        pos += length;
        // The payload's first `n` bytes, or all of it when it is shorter.
        const auto payload = [&](std::size_t n) {
            return window.at(payloadAt, std::min(n, payloadLength), bytes, reason);
        };

        if (isFrameMarker(marker)) {
            if (haveFrame)
                return fail(damaged("两个帧头"));
            if (!payload(payloadLength))
                return false;
            if (std::string problem = readFrame(marker, bytes, info); !problem.empty())
                return fail(std::move(problem));
            haveFrame = true;
        } else if (marker == 0xDA) {
            if (!haveFrame)
                return fail(damaged("图像数据在帧头之前"));
            break;
        } else if (marker == 0xE0 && !haveJfif) {
            if (!payload(kJfifLength))
                return false;
            if (startsWith(bytes, std::string_view("JFIF\0", 5))) {
                haveJfif = true;
                jfif = readJfif(bytes);
            }
        } else if (marker == 0xE1 && !haveExif) {
            if (!payload(kExifTagLength))
                return false;
            if (startsWith(bytes, std::string_view("Exif\0\0", kExifTagLength))) {
                haveExif = true;
                if (!payload(payloadLength))
                    return false;
                const ExifFields fields = readExif(bytes.subspan(kExifTagLength));
                if (fields.orientation >= 1 && fields.orientation <= 8)
                    info.orientation = fields.orientation;
                const double perInch = fields.resolutionUnit == 2 ? 1.0 : fields.resolutionUnit == 3 ? 2.54 : 0.0;
                exif = {fields.xResolution * perInch, fields.yResolution * perInch};
            }
        } else if (marker == 0xEE && !info.hasAdobeMarker) {
            if (!payload(kAdobeLength))
                return false;
            if (bytes.size() >= kAdobeLength && startsWith(bytes, "Adobe")) {
                info.hasAdobeMarker = true;
                info.adobeTransform = bytes[11];
            }
        }
    }
    scanStart = pos;

    // Adobe's writers store CMYK inverted and mark it with APP14; readers need to be told.
    info.adobeInverted = info.hasAdobeMarker && info.components == 4;
    const Resolution stated = jfif.known() ? jfif : exif.known() ? exif : Resolution{};
    info.dpiX = stated.x;
    info.dpiY = stated.y;
    return true;
}

// Searches the picture data from the back for the end marker, in pieces that grow fourfold up to
// the largest read and overlap by a byte (a marker may straddle two).
bool endMarkerBefore(Window &window, std::uint64_t scanStart, std::uintmax_t size, std::size_t firstPiece,
                     std::string &reason)
{
    Bytes piece;
    std::uintmax_t end = size;
    for (std::size_t length = std::max<std::size_t>(firstPiece, 2);;
         length = std::max<std::size_t>(2, std::min(length * 4, kLargestJpegRead))) {
        const std::uintmax_t begin = std::max<std::uintmax_t>(scanStart, end - std::min<std::uintmax_t>(end, length));
        if (!window.at(begin, std::size_t(end - begin), piece, reason))
            return false;
        if (holdsEndMarker(piece))
            return true;
        if (begin == scanStart)
            break;
        end = begin + 1;
    }
    reason = reason::inBrackets(reason::kCutShort, "没有结束标记");
    return false;
}

} // namespace

bool inspectJpegPieces(const ReadAt &read, std::uintmax_t size, JpegInfo &info, std::string &reason, PieceSizes sizes)
{
    info = JpegInfo{};
    info.fileSize = size;
    reason.clear();
    if (size == 0) {
        reason = reason::kEmptyFile;
        return false;
    }
    Window window(read, size, sizes.head);
    std::uint64_t scanStart = 0;
    return walkHeader(window, size, info, reason, scanStart) &&
           endMarkerBefore(window, scanStart, size, sizes.tail, reason);
}

bool inspectJpeg(std::span<const unsigned char> data, JpegInfo &info, std::string &reason)
{
    const ReadAt read = [data](std::uint64_t offset, std::span<unsigned char> into, std::string &) {
        if (!into.empty())
            std::memcpy(into.data(), data.data() + offset, into.size());
        return true;
    };
    return inspectJpegPieces(read, data.size(), info, reason);
}

bool jpegHasEndMarker(std::span<const unsigned char> data)
{
    // Walk the header segments to the first scan, skipping stray bytes between markers as
    // decoders do.
    std::size_t pos = 2;
    while (pos + 4 <= data.size()) {
        if (data[pos] != 0xFF) {
            ++pos;
            continue;
        }
        const unsigned char marker = data[pos + 1];
        if (marker == 0xFF || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            pos += marker == 0xFF ? 1 : 2;
            continue;
        }
        const std::size_t end = pos + 2 + be16(data, pos + 2);
        if (marker == 0xDA)
            return holdsEndMarker(data.subspan(std::min(end, data.size())));
        pos = end;
    }
    return false;
}

} // namespace pagemint
