#pragma once
// Pictures the decoder tests write byte by byte, for the kinds no image library here writes: BMPs
// with bit-field masks, run-length data and unsupported depths, PNGs whose chunks lie about their
// length, old-style JPEG-in-TIFF, JPEG headers of other precisions and sizes.

#include <QByteArray>
#include <QColor>
#include <QString>

#include <array>

namespace pagemint::test {

// Writes `bytes` to `path`; the path, or "" when it could not be written.
QString writeBytes(const QString &path, const QByteArray &bytes);

struct BmpLayout {
    int infoSize = 40; // 40, or 108/124 (V4, V5) with the masks inside the header
    int width = 64;
    int height = 48; // negative: stored top-down
    int bitsPerPixel = 24;
    quint32 compression = 0;
    std::array<quint32, 4> masks{}; // red, green, blue, alpha; after a 40-byte header when compression is 3 or 6
    QByteArray palette;             // BGRx entries
};

// A BMP file of `layout` holding `pixels` as they are stored (rows padded to four bytes).
QByteArray bmpFile(const BmpLayout &layout, const QByteArray &pixels);

// The palette entries, as a BMP stores them.
QByteArray bmpPalette(std::initializer_list<QColor> colours);

// A PNG of 57 bytes: a valid 16 x 16 header, then a `type` chunk claiming `length` bytes of which
// the file holds 16.
QByteArray pngWithChunkClaiming(const char *type, quint32 length);

// A 64 x 48 JPEG by Qt, red on the left half and blue on the right.
QByteArray redBlueJpeg(bool progressive = false);

// `jpeg` with its frame header's marker, sample precision, width and height replaced.
QByteArray withFrame(QByteArray jpeg, unsigned char marker, int precision, int width, int height);

// An old-style JPEG-in-TIFF (compression 6) around `jpeg` (64 x 48, 4:2:0), as old scanners wrote
// them: no RowsPerStrip, the whole JPEG stream named by JPEGInterchangeFormat, and a private tag of
// a type libtiff cannot store, which it reports through its error channel and skips.
QByteArray oldStyleJpegTiff(const QByteArray &jpeg);

} // namespace pagemint::test
