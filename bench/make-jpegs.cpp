// Writes the JPEGs of bench/converter.sh: camera-like pictures, bare or with the metadata cameras
// and photo editors leave in them:
//   make-jpegs plain  COUNT WIDTH HEIGHT FOLDER       as FreeImage writes them, no metadata
//   make-jpegs camera COUNT WIDTH HEIGHT FOLDER       EXIF with maker notes and a thumbnail, XMP,
//                                                      an sRGB ICC profile, Photoshop's APP13
//   make-jpegs bulky  COUNT WIDTH HEIGHT FOLDER   an XMP packet and 113 segments of extended
//                                                      XMP (114 APP1 segments, 7.3 MB), as a
//                                                      picture saved with an editor's document
//                                                      inside it
// The pictures are FreeImage's (as the other sets), the segments are laid out as those writers do.
// Build: g++ -O2 make-jpegs.cpp -lfreeimage -llcms2
#include <FreeImage.h>
#include <lcms2.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void put16(Bytes &b, unsigned v)
{
    b.push_back(v >> 8);
    b.push_back(v & 0xFF);
}
void put32(Bytes &b, std::uint32_t v)
{
    put16(b, v >> 16);
    put16(b, v & 0xFFFF);
}
void append(Bytes &b, const std::string &s)
{
    b.insert(b.end(), s.begin(), s.end());
}
Bytes noise(std::size_t n, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes b(n);
    for (auto &c : b)
        c = static_cast<unsigned char>(random());
    return b;
}

// A camera-like picture (gradients, waves and noise), as bench/converter.sh's own sets.
Bytes picture(int w, int h, int n, int quality)
{
    std::mt19937 random(n);
    std::uniform_int_distribution<int> grain(-24, 24);
    FIBITMAP *dib = FreeImage_Allocate(w, h, 24);
    for (int y = 0; y < h; ++y) {
        BYTE *line = FreeImage_GetScanLine(dib, y);
        for (int x = 0; x < w; ++x) {
            const double wave = 60 * std::sin((x + 13 * n) / 37.0) * std::cos(y / 23.0);
            for (int c = 0; c < 3; ++c) {
                const int v = int(128 + wave + (c + 1) * 40.0 * x / w - 40.0 * y / h) + grain(random);
                line[3 * x + c] = BYTE(v < 0 ? 0 : v > 255 ? 255 : v);
            }
        }
    }
    FIMEMORY *memory = FreeImage_OpenMemory();
    FreeImage_SaveToMemory(FIF_JPEG, dib, memory, quality);
    BYTE *data = nullptr;
    DWORD size = 0;
    FreeImage_AcquireMemory(memory, &data, &size);
    Bytes out(data, data + size);
    FreeImage_CloseMemory(memory);
    FreeImage_Unload(dib);
    return out;
}

Bytes segment(unsigned marker, const Bytes &payload)
{
    Bytes s{0xFF, static_cast<unsigned char>(marker)};
    put16(s, unsigned(payload.size() + 2));
    s.insert(s.end(), payload.begin(), payload.end());
    return s;
}

// A big-endian TIFF directory: entries (tag, type, count, value or offset), next IFD.
struct Entry {
    unsigned tag, type;
    std::uint32_t count;
    Bytes data; // the value; placed after the directory when longer than four bytes
};
void directory(Bytes &tiff, std::uint32_t at, const std::vector<Entry> &entries, std::uint32_t next)
{
    std::uint32_t extra = at + 2 + 12 * std::uint32_t(entries.size()) + 4;
    Bytes values;
    tiff.resize(at);
    put16(tiff, unsigned(entries.size()));
    for (const Entry &e : entries) {
        put16(tiff, e.tag);
        put16(tiff, e.type);
        put32(tiff, e.count);
        if (e.data.size() <= 4) {
            Bytes v = e.data;
            v.resize(4);
            tiff.insert(tiff.end(), v.begin(), v.end());
        } else {
            put32(tiff, extra + std::uint32_t(values.size()));
            values.insert(values.end(), e.data.begin(), e.data.end());
            if (values.size() % 2)
                values.push_back(0);
        }
    }
    put32(tiff, next);
    tiff.insert(tiff.end(), values.begin(), values.end());
}
Entry ascii(unsigned tag, const std::string &s)
{
    Bytes b(s.begin(), s.end());
    b.push_back(0);
    return {tag, 2, std::uint32_t(b.size()), b};
}
Entry shortValue(unsigned tag, unsigned v)
{
    Bytes b;
    put16(b, v);
    return {tag, 3, 1, b};
}
Entry longValue(unsigned tag, std::uint32_t v)
{
    Bytes b;
    put32(b, v);
    return {tag, 4, 1, b};
}
Entry rational(unsigned tag, std::uint32_t num, std::uint32_t den)
{
    Bytes b;
    put32(b, num);
    put32(b, den);
    return {tag, 5, 1, b};
}

// EXIF as a camera writes it: IFD0, the EXIF directory with a maker note, IFD1 with a thumbnail.
Bytes exif(int n, const Bytes &thumbnail)
{
    const Bytes makerNote = noise(30000, unsigned(n));
    const auto ifd0 = [&](std::uint32_t exifAt) {
        return std::vector<Entry>{ascii(0x010F, "Pagemint Bench Camera"),
                                  ascii(0x0110, "BC-1"),
                                  shortValue(0x0112, 1),
                                  rational(0x011A, 72, 1),
                                  rational(0x011B, 72, 1),
                                  shortValue(0x0128, 2),
                                  ascii(0x0131, "Firmware 1.02"),
                                  ascii(0x0132, "2026:12:10 12:00:00"),
                                  longValue(0x8769, exifAt)};
    };
    const std::vector<Entry> exifDirectory{rational(0x829A, 1, 250),
                                           rational(0x829D, 28, 10),
                                           shortValue(0x8827, 200),
                                           ascii(0x9003, "2026:12:10 12:00:00"),
                                           {0x927C, 7, std::uint32_t(makerNote.size()), makerNote}};
    const auto ifd1 = [&](std::uint32_t thumbnailAt) {
        return std::vector<Entry>{shortValue(0x0103, 6), rational(0x011A, 72, 1), rational(0x011B, 72, 1),
                                  longValue(0x0201, thumbnailAt), longValue(0x0202, std::uint32_t(thumbnail.size()))};
    };
    // One pass to learn where each directory lands, one to write the offsets (the sizes stay).
    Bytes tiff{'M', 'M', 0, 42};
    put32(tiff, 8);
    directory(tiff, 8, ifd0(0), 0);
    const std::uint32_t exifAt = std::uint32_t(tiff.size());
    directory(tiff, exifAt, exifDirectory, 0);
    const std::uint32_t ifd1At = std::uint32_t(tiff.size());
    directory(tiff, ifd1At, ifd1(0), 0);
    const std::uint32_t thumbnailAt = std::uint32_t(tiff.size());
    directory(tiff, 8, ifd0(exifAt), ifd1At);
    directory(tiff, exifAt, exifDirectory, 0);
    directory(tiff, ifd1At, ifd1(thumbnailAt), 0);
    tiff.insert(tiff.end(), thumbnail.begin(), thumbnail.end());
    Bytes payload{'E', 'x', 'i', 'f', 0, 0};
    payload.insert(payload.end(), tiff.begin(), tiff.end());
    return payload;
}

std::string xmpPacket(const std::string &extra)
{
    std::string keywords;
    for (int i = 0; i < 40; ++i)
        keywords += "<rdf:li>keyword " + std::to_string(i) + "</rdf:li>";
    return "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>"
           "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
           "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
           "xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" xmlns:xmpNote=\"http://ns.adobe.com/xmp/note/\" " +
           extra +
           "xmp:CreatorTool=\"Bench Editor 1.0\" xmp:CreateDate=\"2026-12-10T12:00:00\">"
           "<dc:subject><rdf:Bag>" +
           keywords + "</rdf:Bag></dc:subject></rdf:Description></rdf:RDF></x:xmpmeta>" + std::string(2048, ' ') +
           "<?xpacket end=\"w\"?>";
}
Bytes xmp(const std::string &extra)
{
    Bytes p;
    append(p, std::string("http://ns.adobe.com/xap/1.0/") + '\0');
    append(p, xmpPacket(extra));
    return p;
}

Bytes iccProfile()
{
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(srgb, nullptr, &size);
    Bytes profile(size);
    cmsSaveProfileToMem(srgb, profile.data(), &size);
    cmsCloseProfile(srgb);
    Bytes p;
    append(p, std::string("ICC_PROFILE") + '\0');
    p.push_back(1); // segment 1 of 1
    p.push_back(1);
    p.insert(p.end(), profile.begin(), profile.end());
    return p;
}

// Photoshop's image resources: IPTC (caption, keywords) and its digest.
Bytes photoshop()
{
    Bytes iptc;
    const auto record = [&](unsigned dataset, const std::string &text) {
        iptc.insert(iptc.end(), {0x1C, 2, static_cast<unsigned char>(dataset)});
        put16(iptc, unsigned(text.size()));
        append(iptc, text);
    };
    record(5, "Bench picture");
    for (int i = 0; i < 20; ++i)
        record(25, "keyword " + std::to_string(i));
    record(120, std::string(1500, 'c'));
    Bytes p;
    append(p, std::string("Photoshop 3.0") + '\0');
    const auto resource = [&](unsigned id, const Bytes &data) {
        append(p, "8BIM");
        put16(p, id);
        put16(p, 0); // empty name, padded to even
        put32(p, std::uint32_t(data.size()));
        p.insert(p.end(), data.begin(), data.end());
        if (data.size() % 2)
            p.push_back(0);
    };
    resource(0x0404, iptc);
    resource(0x0425, noise(16, 4));
    return p;
}

// The picture with `segments` after its JFIF segment.
Bytes withSegments(const Bytes &jpeg, const std::vector<Bytes> &segments)
{
    const std::size_t at = 4 + (std::size_t(jpeg[4]) << 8 | jpeg[5]); // FreeImage writes JFIF first
    Bytes out(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(at));
    for (const Bytes &s : segments)
        out.insert(out.end(), s.begin(), s.end());
    out.insert(out.end(), jpeg.begin() + std::ptrdiff_t(at), jpeg.end());
    return out;
}

std::vector<Bytes> cameraSegments(int n)
{
    return {segment(0xE1, exif(n, picture(160, 120, n, 75))), segment(0xE1, xmp("")), segment(0xE2, iccProfile()),
            segment(0xED, photoshop())};
}

std::vector<Bytes> bulkySegments(int n)
{
    const std::string guid = "0123456789ABCDEF0123456789ABCDEF";
    std::vector<Bytes> s{segment(0xE1, xmp("xmpNote:HasExtendedXMP=\"" + guid + "\" "))};
    constexpr std::size_t chunk = 0xFFFF - 2 - 35 - 32 - 8;
    const std::uint32_t full = std::uint32_t(chunk * 113);
    for (std::uint32_t i = 0; i < 113; ++i) {
        Bytes p;
        append(p, std::string("http://ns.adobe.com/xmp/extension/") + '\0');
        append(p, guid);
        put32(p, full);
        put32(p, i * std::uint32_t(chunk));
        const Bytes body = noise(chunk, unsigned(n * 1000 + i)); // an editor's compressed document
        p.insert(p.end(), body.begin(), body.end());
        s.push_back(segment(0xE1, p));
    }
    return s;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 6)
        return 2;
    const std::string kind = argv[1];
    const int count = std::atoi(argv[2]), w = std::atoi(argv[3]), h = std::atoi(argv[4]);
    if (kind != "plain" && kind != "camera" && kind != "bulky")
        return 2;
    FreeImage_Initialise();
    for (int n = 0; n < count; ++n) {
        const Bytes jpeg = kind == "plain"    ? picture(w, h, n, 90)
                           : kind == "camera" ? withSegments(picture(w, h, n, 90), cameraSegments(n))
                                              : withSegments(picture(w, h, n, 90), bulkySegments(n));
        char name[4096];
        std::snprintf(name, sizeof name, "%s/%04d.jpg", argv[5], n);
        std::FILE *out = std::fopen(name, "wb");
        if (!out || std::fwrite(jpeg.data(), 1, jpeg.size(), out) != jpeg.size() || std::fclose(out) != 0)
            return 1;
    }
    return 0;
}
