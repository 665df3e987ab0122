#include "contract/JpegInfo.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

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
            return std::string("not a JPEG (") + name + " data)";
    return "not a JPEG";
}

// The TIFF structure inside an EXIF segment. Every offset in it comes from the file, so each is
// checked against the segment before use.
class TiffReader {
public:
    explicit TiffReader(Bytes tiff) : tiff_(tiff) {}

    bool open()
    {
        if (tiff_.size() < 8)
            return false;
        if (startsWith(tiff_, "II"))
            little_ = true;
        else if (!startsWith(tiff_, "MM"))
            return false;
        return u16(2) == 42;
    }
    bool has(std::uint64_t at, std::uint64_t n) const { return at <= tiff_.size() && n <= tiff_.size() - at; }
    unsigned u16(std::uint64_t at) const
    {
        return little_ ? tiff_[at] | unsigned(tiff_[at + 1]) << 8 : unsigned(tiff_[at]) << 8 | tiff_[at + 1];
    }
    std::uint32_t u32(std::uint64_t at) const
    {
        return little_ ? std::uint32_t(u16(at)) | std::uint32_t(u16(at + 2)) << 16
                       : std::uint32_t(u16(at)) << 16 | std::uint32_t(u16(at + 2));
    }
    // A RATIONAL at `at`; 0 when it is missing or divides by zero.
    double rational(std::uint64_t at) const
    {
        if (!has(at, 8) || u32(at + 4) == 0)
            return 0;
        return double(u32(at)) / double(u32(at + 4));
    }

private:
    Bytes tiff_;
    bool little_ = false;
};

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

// What a frame marker (SOFn) says about whether PDF readers can show the picture.
const char *frameTypeProblem(unsigned marker)
{
    switch (marker) {
    case 0xC0: // baseline
    case 0xC1: // extended sequential, Huffman
    case 0xC2: // progressive, Huffman
        return nullptr;
    case 0xC3:
        return "lossless JPEG";
    case 0xC5:
    case 0xC6:
    case 0xC7:
        return "hierarchical JPEG";
    default:
        return "arithmetic-coded JPEG";
    }
}

bool isFrameMarker(unsigned marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::string readFrame(unsigned marker, Bytes p, JpegInfo &info)
{
    if (const char *problem = frameTypeProblem(marker))
        return problem;
    if (p.size() < 6)
        return "damaged frame header";
    const unsigned precision = p[0], components = p[5];
    if (precision != 8)
        return std::to_string(precision) + "-bit JPEG";
    if (p.size() != 6 + 3 * std::size_t(components))
        return "damaged frame header";
    if (components != 1 && components != 3 && components != 4)
        return std::to_string(components) + " colour components";
    info.height = int(be16(p, 1));
    info.width = int(be16(p, 3));
    if (info.height == 0)
        return "height given after the picture data (DNL)";
    if (info.width == 0)
        return "zero width";
    for (unsigned c = 0; c < components; ++c) {
        const unsigned sampling = p[6 + 3 * c + 1], table = p[6 + 3 * c + 2];
        const unsigned h = sampling >> 4, v = sampling & 15;
        if (h < 1 || h > 4 || v < 1 || v > 4 || table > 3)
            return "damaged frame header";
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

} // namespace

// Entropy-coded data never holds FF D9 (an FF there is always followed by 00 or a restart
// marker), so the last FF D9 after the first scan is the end marker; a cut-off file has none.
bool holdsEndMarker(std::span<const unsigned char> bytes)
{
    for (std::size_t i = bytes.size(); i >= 2; --i)
        if (bytes[i - 2] == 0xFF && bytes[i - 1] == 0xD9)
            return true;
    return false;
}

HeaderWalk inspectJpegHeader(std::span<const unsigned char> head, std::uintmax_t fileSize, JpegInfo &info,
                             std::string &reason, std::size_t &scanStart)
{
    info = JpegInfo{};
    info.fileSize = fileSize;
    reason.clear();
    auto fail = [&](std::string why) {
        reason = std::move(why);
        return HeaderWalk::Refused;
    };
    // Where the bytes at hand end before the file does, the walk needs more of them.
    const bool whole = head.size() >= fileSize;
    auto truncated = [&] { return whole ? fail("truncated (ends in the header)") : HeaderWalk::NeedMore; };
    if (head.empty() && whole)
        return fail("empty file");
    if (head.size() < 4 && !whole)
        return HeaderWalk::NeedMore;
    if (head.size() < 4 || head[0] != 0xFF || head[1] != 0xD8 || head[2] != 0xFF)
        return fail(notJpegReason(head));

    Resolution jfif, exif;
    bool haveFrame = false, haveJfif = false, haveExif = false;
    std::size_t pos = 2;
    for (;;) {
        if (pos >= head.size())
            return truncated();
        if (head[pos] != 0xFF)
            return fail("damaged header (marker expected)");
        while (pos < head.size() && head[pos] == 0xFF)
            ++pos; // fill bytes may pad any marker
        if (pos >= head.size())
            return truncated();
        const unsigned marker = head[pos++];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // markers without a segment
        if (marker == 0x00 || marker == 0xD8 || marker == 0xD9)
            return fail(marker == 0xD9 ? "no picture data" : "damaged header (unexpected marker)");
        if (head.size() - pos < 2)
            return truncated();
        const std::size_t length = be16(head, pos);
        if (length < 2)
            return fail("damaged header (segment length)");
        if (head.size() - pos < length)
            return truncated();
        const Bytes payload = head.subspan(pos + 2, length - 2);
        pos += length;

        if (isFrameMarker(marker)) {
            if (haveFrame)
                return fail("two frame headers");
            if (std::string problem = readFrame(marker, payload, info); !problem.empty())
                return fail(std::move(problem));
            haveFrame = true;
        } else if (marker == 0xDA) {
            if (!haveFrame)
                return fail("picture data before the frame header");
            break;
        } else if (marker == 0xE0 && !haveJfif && startsWith(payload, std::string_view("JFIF\0", 5))) {
            haveJfif = true;
            jfif = readJfif(payload);
        } else if (marker == 0xE1 && !haveExif && startsWith(payload, std::string_view("Exif\0\0", 6))) {
            haveExif = true;
            const ExifFields fields = readExif(payload.subspan(6));
            if (fields.orientation >= 1 && fields.orientation <= 8)
                info.orientation = fields.orientation;
            const double perInch = fields.resolutionUnit == 2 ? 1.0 : fields.resolutionUnit == 3 ? 2.54 : 0.0;
            exif = {fields.xResolution * perInch, fields.yResolution * perInch};
        } else if (marker == 0xEE && !info.hasAdobeMarker && payload.size() >= 12 && startsWith(payload, "Adobe")) {
            info.hasAdobeMarker = true;
            info.adobeTransform = payload[11];
        }
    }
    scanStart = pos;

    // Adobe's writers store CMYK inverted and mark it with APP14; readers need to be told.
    info.adobeInverted = info.hasAdobeMarker && info.components == 4;
    const Resolution stated = jfif.known() ? jfif : exif.known() ? exif : Resolution{};
    info.dpiX = stated.x;
    info.dpiY = stated.y;
    return HeaderWalk::Done;
}

bool inspectJpeg(std::span<const unsigned char> data, JpegInfo &info, std::string &reason)
{
    std::size_t scanStart = 0;
    if (inspectJpegHeader(data, data.size(), info, reason, scanStart) != HeaderWalk::Done)
        return false;
    if (!holdsEndMarker(data.subspan(scanStart))) {
        reason = kNoEndMarker;
        return false;
    }
    return true;
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
