#include "TestJpegs.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

#include <FreeImage.h>

namespace pagemint::test {

namespace {

unsigned be16(const QByteArray &b, qsizetype at)
{
    return unsigned(quint8(b[at])) << 8 | quint8(b[at + 1]);
}

void put16(QByteArray &out, unsigned v, bool bigEndian)
{
    const char hi = char(v >> 8 & 0xff), lo = char(v & 0xff);
    out.append(bigEndian ? hi : lo).append(bigEndian ? lo : hi);
}

void put32(QByteArray &out, std::uint32_t v, bool bigEndian)
{
    put16(out, bigEndian ? v >> 16 : v & 0xffff, bigEndian);
    put16(out, bigEndian ? v & 0xffff : v >> 16, bigEndian);
}

// Visits the marker segments before the first scan: (offset of the 0xFF, marker, total length).
template <typename Visit> void forEachSegment(const QByteArray &jpeg, Visit visit)
{
    qsizetype pos = 2;
    while (pos + 4 <= jpeg.size() && quint8(jpeg[pos]) == 0xFF) {
        const unsigned marker = quint8(jpeg[pos + 1]);
        const qsizetype length = 2 + be16(jpeg, pos + 2);
        if (!visit(pos, marker, length) || marker == 0xDA)
            return;
        pos += length;
    }
}

} // namespace

QImage quadrantPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    const int w = width / 2, h = height / 2;
    painter.fillRect(0, 0, w, h, Qt::red);
    painter.fillRect(w, 0, width - w, h, Qt::green);
    painter.fillRect(0, h, w, height - h, Qt::blue);
    painter.fillRect(w, h, width - w, height - h, Qt::white);
    return image;
}

QByteArray qtJpeg(const QImage &image, bool progressive, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

QByteArray cmykJpeg(int width, int height, std::array<unsigned char, 4> cmyk)
{
    FreeImage_Initialise();
    FIBITMAP *dib = FreeImage_Allocate(width, height, 32);
    FreeImage_GetICCProfile(dib)->flags |= FIICC_COLOR_IS_CMYK;
    for (int y = 0; y < height; ++y) {
        BYTE *line = FreeImage_GetScanLine(dib, y);
        for (int x = 0; x < width; ++x)
            std::copy(cmyk.begin(), cmyk.end(), line + 4 * x);
    }
    FIMEMORY *memory = FreeImage_OpenMemory();
    FreeImage_SaveToMemory(FIF_JPEG, dib, memory, JPEG_QUALITYSUPERB);
    BYTE *data = nullptr;
    DWORD size = 0;
    FreeImage_AcquireMemory(memory, &data, &size);
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    FreeImage_CloseMemory(memory);
    FreeImage_Unload(dib);
    return bytes;
}

QByteArray exifPayload(const ExifFields &f)
{
    struct Entry {
        unsigned tag, type;
        std::uint32_t value; // SHORT value, or offset of a RATIONAL
    };
    std::vector<Entry> entries;
    QByteArray rationals;
    const auto addRational = [&](unsigned tag, std::pair<std::uint32_t, std::uint32_t> r) {
        entries.push_back({tag, 5, 0});
        put32(rationals, r.first, f.bigEndian);
        put32(rationals, r.second, f.bigEndian);
    };
    if (f.orientation)
        entries.push_back({0x0112, 3, std::uint32_t(*f.orientation)});
    if (f.xResolution)
        addRational(0x011A, *f.xResolution);
    if (f.yResolution)
        addRational(0x011B, *f.yResolution);
    if (f.resolutionUnit)
        entries.push_back({0x0128, 3, std::uint32_t(*f.resolutionUnit)});

    QByteArray tiff(f.bigEndian ? "MM" : "II");
    put16(tiff, 42, f.bigEndian);
    put32(tiff, 8, f.bigEndian);
    put16(tiff, unsigned(entries.size()), f.bigEndian);
    std::uint32_t rationalAt = 8 + 2 + 12 * std::uint32_t(entries.size()) + 4;
    for (const Entry &e : entries) {
        put16(tiff, e.tag, f.bigEndian);
        put16(tiff, e.type, f.bigEndian);
        put32(tiff, 1, f.bigEndian);
        if (e.type == 3) {
            put16(tiff, e.value, f.bigEndian);
            put16(tiff, 0, f.bigEndian);
        } else {
            put32(tiff, rationalAt, f.bigEndian);
            rationalAt += 8;
        }
    }
    put32(tiff, 0, f.bigEndian); // no next IFD
    return QByteArray("Exif\0\0", 6) + tiff + rationals;
}

QByteArray withSegments(const QByteArray &jpeg, unsigned char marker, const QByteArray &payload, int count)
{
    qsizetype at = 2;
    forEachSegment(jpeg, [&](qsizetype pos, unsigned m, qsizetype length) {
        if (m == 0xE0 && pos == 2)
            at = pos + length;
        return false;
    });
    QByteArray segment;
    segment.append(char(0xFF)).append(char(marker));
    put16(segment, unsigned(payload.size() + 2), true);
    segment += payload;
    QByteArray out = jpeg.left(at);
    out.reserve(jpeg.size() + count * segment.size());
    for (int i = 0; i < count; ++i)
        out += segment;
    return out + jpeg.mid(at);
}

QByteArray withSegment(const QByteArray &jpeg, unsigned char marker, const QByteArray &payload)
{
    return withSegments(jpeg, marker, payload, 1);
}

QByteArray withBulkyXmp(const QByteArray &jpeg, int count)
{
    // Namespace, GUID of the main packet, full length and offset, then the packet's text.
    QByteArray payload("http://ns.adobe.com/xmp/extension/\0", 35);
    payload += QByteArray("0123456789ABCDEF0123456789ABCDEF") + QByteArray(8, '\0');
    payload += QByteArray(0xFFFF - 2 - payload.size(), 'x');
    return withSegments(jpeg, 0xE1, payload, count);
}

QByteArray withExif(const QByteArray &jpeg, const ExifFields &fields)
{
    return withSegment(jpeg, 0xE1, exifPayload(fields));
}

QByteArray withoutSegments(const QByteArray &jpeg, unsigned char marker)
{
    QByteArray out = jpeg.left(2);
    qsizetype end = 2;
    forEachSegment(jpeg, [&](qsizetype pos, unsigned m, qsizetype length) {
        if (m != marker)
            out += jpeg.mid(pos, length);
        end = pos + length;
        return true;
    });
    return out + jpeg.mid(end);
}

qsizetype segmentOffset(const QByteArray &jpeg, unsigned char marker)
{
    qsizetype found = -1;
    forEachSegment(jpeg, [&](qsizetype pos, unsigned m, qsizetype) {
        if (m == marker)
            found = pos;
        return found < 0;
    });
    return found;
}

QByteArray withJfifDensity(const QByteArray &jpeg, int units, int x, int y)
{
    QByteArray out = jpeg;
    const qsizetype app0 = segmentOffset(jpeg, 0xE0);
    if (app0 < 0)
        return out;
    // FF E0, length (2), "JFIF\0" (5), version (2), then units and the two densities
    out[app0 + 11] = char(units);
    out[app0 + 12] = char(x >> 8);
    out[app0 + 13] = char(x & 0xff);
    out[app0 + 14] = char(y >> 8);
    out[app0 + 15] = char(y & 0xff);
    return out;
}

QByteArray withFrame(const QByteArray &jpeg, unsigned char marker, std::optional<int> precision)
{
    QByteArray out = jpeg;
    qsizetype frame = -1;
    for (unsigned m : {0xC0u, 0xC1u, 0xC2u})
        if (frame < 0)
            frame = segmentOffset(jpeg, static_cast<unsigned char>(m));
    if (frame < 0)
        return out;
    out[frame + 1] = char(marker);
    if (precision)
        out[frame + 4] = char(*precision);
    return out;
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace pagemint::test
