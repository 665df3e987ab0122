#include "CraftedPictures.h"
#include "FileBytes.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>

namespace pagemint::test {

namespace {
void putLe(QByteArray &bytes, int at, quint32 value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

QString writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path : QString();
}

QByteArray qtJpeg()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter(&image).fillRect(32, 0, 32, 48, Qt::blue);
    image.save(&buffer, "JPEG");
    return bytes;
}

// Offset of the first segment after SOI and APP0, where a later header segment starts.
int afterFirstSegment(const QByteArray &jpeg)
{
    return 4 + (static_cast<unsigned char>(jpeg[4]) << 8 | static_cast<unsigned char>(jpeg[5]));
}
} // namespace

QString writeBmpWithHeader(const QString &path, int headerSize, int bitsPerPixel, QColor left, QColor right)
{
    const int width = 64, height = 48;
    const int paletteSize = bitsPerPixel == 1 ? 8 : 0;
    const int rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    const int dataStart = 14 + headerSize + paletteSize;
    QByteArray bytes(dataStart + rowBytes * height, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    putLe(bytes, 2, static_cast<quint32>(bytes.size()), 4);
    putLe(bytes, 10, static_cast<quint32>(dataStart), 4);
    putLe(bytes, 14, static_cast<quint32>(headerSize), 4);
    putLe(bytes, 18, width, 4);
    putLe(bytes, 22, height, 4);
    putLe(bytes, 26, 1, 2);
    putLe(bytes, 28, static_cast<quint32>(bitsPerPixel), 2);
    putLe(bytes, 34, static_cast<quint32>(rowBytes * height), 4);
    putLe(bytes, 38, 2835, 4); // 72 dpi
    putLe(bytes, 42, 2835, 4);
    putLe(bytes, 46, static_cast<quint32>(paletteSize / 4), 4);
    putLe(bytes, 14 + 56, 0x73524742, 4); // colour space 'sRGB'
    const auto bgr = [](QColor c) {
        const char pixel[] = {char(c.blue()), char(c.green()), char(c.red())};
        return QByteArray(pixel, 3);
    };
    if (paletteSize > 0)
        bytes.replace(14 + headerSize, 8, bgr(left) + '\0' + bgr(right) + '\0');
    for (int y = 0; y < height; ++y) {
        const int row = dataStart + y * rowBytes;
        for (int x = width / 2; x < width && bitsPerPixel == 1; x += 8)
            bytes[row + x / 8] = char(0xFF);
        for (int x = 0; x < width && bitsPerPixel == 24; ++x)
            bytes.replace(row + 3 * x, 3, bgr(x < width / 2 ? left : right));
    }
    return writeBytes(path, bytes);
}

QString cutShort(const QString &source, const QString &path, double fraction)
{
    const QByteArray bytes = bytesOf(source);
    return writeBytes(path, bytes.left(static_cast<qsizetype>(bytes.size() * fraction)));
}

QString writeJpegWithStrayBytes(const QString &path)
{
    QByteArray jpeg = qtJpeg();
    jpeg.insert(afterFirstSegment(jpeg), QByteArray(3, '\0'));
    return writeBytes(path, jpeg);
}

QString writePngHeaderClaiming(const QString &path, quint32 width, quint32 height)
{
    QByteArray ihdr("IHDR", 4);
    for (const quint32 value : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            ihdr += static_cast<char>((value >> shift) & 0xFF);
    ihdr += QByteArray("\x08\x02\x00\x00\x00", 5); // 8-bit RGB
    quint32 crc = 0xFFFFFFFF;
    for (const char byte : ihdr) {
        crc ^= static_cast<unsigned char>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    crc = ~crc;
    QByteArray png("\x89PNG\r\n\x1a\n\x00\x00\x00\x0d", 12);
    png += ihdr;
    for (int shift = 24; shift >= 0; shift -= 8)
        png += static_cast<char>((crc >> shift) & 0xFF);
    // An empty IDAT and the IEND: a reader finds the header whole, the pixels missing.
    png += QByteArray("\x00\x00\x00\x00IDAT\x35\xaf\x06\x1e\x00\x00\x00\x00IEND\xae\x42\x60\x82", 24);
    return writeBytes(path, png);
}

QString writeJpegClaimingSize(const QString &path, int width, int height)
{
    QByteArray jpeg = qtJpeg();
    const qsizetype frame = jpeg.indexOf(QByteArrayLiteral("\xFF\xC0"));
    if (frame < 0)
        return {};
    const auto be16 = [&](qsizetype at, int value) {
        jpeg[at] = static_cast<char>(value >> 8);
        jpeg[at + 1] = static_cast<char>(value & 0xFF);
    };
    be16(frame + 5, height);
    be16(frame + 7, width);
    return writeBytes(path, jpeg);
}

} // namespace pagemint::test
