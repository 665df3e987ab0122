#include "DecoderPictures.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include <vector>

namespace pagemint::test {

namespace {
void appendLe(QByteArray &bytes, quint32 value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void appendBe32(QByteArray &bytes, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes += static_cast<char>((value >> shift) & 0xFF);
}

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFF;
    for (const char byte : bytes) {
        crc ^= static_cast<unsigned char>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}
} // namespace

QString writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path : QString();
}

QByteArray bmpFile(const BmpLayout &layout, const QByteArray &pixels)
{
    const bool separateMasks = layout.infoSize == 40 && (layout.compression == 3 || layout.compression == 6);
    QByteArray info;
    appendLe(info, static_cast<quint32>(layout.infoSize), 4);
    appendLe(info, static_cast<quint32>(layout.width), 4);
    appendLe(info, static_cast<quint32>(layout.height), 4);
    appendLe(info, 1, 2);
    appendLe(info, static_cast<quint32>(layout.bitsPerPixel), 2);
    appendLe(info, layout.compression, 4);
    appendLe(info, static_cast<quint32>(pixels.size()), 4);
    appendLe(info, 2835, 4); // 72 dpi
    appendLe(info, 2835, 4);
    appendLe(info, static_cast<quint32>(layout.palette.size() / 4), 4);
    appendLe(info, 0, 4);
    if (layout.infoSize > 40) {
        for (const quint32 mask : layout.masks)
            appendLe(info, mask, 4);
        appendLe(info, 0x73524742, 4); // colour space 'sRGB'
        info += QByteArray(layout.infoSize - info.size(), '\0');
    } else if (separateMasks) {
        for (int i = 0; i < (layout.compression == 6 ? 4 : 3); ++i)
            appendLe(info, layout.masks[static_cast<std::size_t>(i)], 4);
    }
    const quint32 dataStart = static_cast<quint32>(14 + info.size() + layout.palette.size());
    QByteArray file("BM");
    appendLe(file, dataStart + static_cast<quint32>(pixels.size()), 4);
    appendLe(file, 0, 4);
    appendLe(file, dataStart, 4);
    return file + info + layout.palette + pixels;
}

QByteArray bmpPalette(std::initializer_list<QColor> colours)
{
    QByteArray palette;
    for (const QColor &c : colours) {
        palette += static_cast<char>(c.blue());
        palette += static_cast<char>(c.green());
        palette += static_cast<char>(c.red());
        palette += '\0';
    }
    return palette;
}

QByteArray pngWithChunkClaiming(const char *type, quint32 length)
{
    QByteArray ihdr("IHDR", 4);
    appendBe32(ihdr, 16);
    appendBe32(ihdr, 16);
    ihdr += QByteArray("\x08\x02\x00\x00\x00", 5); // 8-bit RGB
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    appendBe32(png, 13);
    png += ihdr;
    appendBe32(png, crc32(ihdr));
    appendBe32(png, length);
    png += QByteArray(type, 4);
    png += QByteArray("key\0value of it", 16);
    return png;
}

QByteArray redBlueJpeg(bool progressive)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter(&image).fillRect(32, 0, 32, 48, Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPEG");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

QByteArray withFrame(QByteArray jpeg, unsigned char marker, int precision, int width, int height)
{
    for (qsizetype at = 2; at + 9 < jpeg.size();) {
        const auto code = static_cast<unsigned char>(jpeg[at + 1]);
        if (code >= 0xC0 && code <= 0xC3) {
            jpeg[at + 1] = static_cast<char>(marker);
            jpeg[at + 4] = static_cast<char>(precision);
            jpeg[at + 5] = static_cast<char>(height >> 8);
            jpeg[at + 6] = static_cast<char>(height & 0xFF);
            jpeg[at + 7] = static_cast<char>(width >> 8);
            jpeg[at + 8] = static_cast<char>(width & 0xFF);
            return jpeg;
        }
        at += 2 + (static_cast<unsigned char>(jpeg[at + 2]) << 8 | static_cast<unsigned char>(jpeg[at + 3]));
    }
    return {};
}

QByteArray oldStyleJpegTiff(const QByteArray &jpeg)
{
    const quint32 jpegStart = 8;
    const quint32 bitsStart = jpegStart + static_cast<quint32>(jpeg.size());
    const quint32 ifdStart = (bitsStart + 6 + 1) & ~1u;
    struct Tag {
        quint16 tag, type;
        quint32 count, value;
    };
    const std::vector<Tag> tags = {
        {256, 3, 1, 64},                                // ImageWidth
        {257, 3, 1, 48},                                // ImageLength
        {258, 3, 3, bitsStart},                         // BitsPerSample 8, 8, 8
        {259, 3, 1, 6},                                 // Compression: old-style JPEG
        {262, 3, 1, 6},                                 // Photometric: YCbCr
        {273, 4, 1, jpegStart},                         // StripOffsets
        {277, 3, 1, 3},                                 // SamplesPerPixel
        {279, 4, 1, static_cast<quint32>(jpeg.size())}, // StripByteCounts; no RowsPerStrip
        {513, 4, 1, jpegStart},                         // JPEGInterchangeFormat
        {514, 4, 1, static_cast<quint32>(jpeg.size())}, // JPEGInterchangeFormatLength
        {530, 3, 2, 2 | 2 << 16},                       // YCbCrSubSampling 2, 2
        {50000, 14, 1, 1},                              // a private tag of an unknown type
    };
    QByteArray tiff("II*\0", 4);
    appendLe(tiff, ifdStart, 4);
    tiff += jpeg;
    for (int i = 0; i < 3; ++i)
        appendLe(tiff, 8, 2);
    tiff += QByteArray(static_cast<qsizetype>(ifdStart) - tiff.size(), '\0');
    appendLe(tiff, static_cast<quint32>(tags.size()), 2);
    for (const Tag &t : tags) {
        appendLe(tiff, t.tag, 2);
        appendLe(tiff, t.type, 2);
        appendLe(tiff, t.count, 4);
        appendLe(tiff, t.value, 4);
    }
    appendLe(tiff, 0, 4);
    return tiff;
}

} // namespace pagemint::test
