#pragma once
// Pictures the staging tests make on the fly (each writer returns the path, or "" on failure): Qt writes PNG, JPEG and BMP; FreeImage writes what Qt
// cannot (palette GIF with a transparent index, 1-bit BMP, multi-page TIFF).

#include <QColor>
#include <QImage>
#include <QString>

#include <vector>

namespace pagemint::test {

// A picture split down the middle: `left` on the left half, `right` on the right half.
QImage halves(QImage::Format format, QColor left, QColor right, int width = 64, int height = 48);

// Saves with Qt in `format` ("PNG", "JPEG", "BMP"), whatever the name's extension says.
QString saveWithQt(const QImage &image, const QString &path, const char *format);

// 8-bit palette GIF: index 0 (transparent, palette colour black) on the left, red on the right.
QString writeGifWithTransparentIndex(const QString &path);

// 1-bit BMP with a colour palette: navy on the left, yellow on the right.
QString writeOneBitBmp(const QString &path);

// Multi-page TIFF, one solid page per colour, the first page 40 x 30 and the others 20 x 10.
QString writeMultiPageTiff(const QString &path, const std::vector<QColor> &pages);

// BMP with the newer headers common tools write (108-byte V4, 124-byte V5; FreeImage 3.18 reads
// neither): 24-bit, or 1-bit with a two-colour palette. `left` and `right` halves as above.
QString writeBmpWithHeader(const QString &path, int headerSize, int bitsPerPixel, QColor left, QColor right);

// A copy of `source` holding only its first `fraction` of bytes.
QString cutShort(const QString &source, const QString &path, double fraction);

// A Qt JPEG with stray bytes between two header segments: intact, but libjpeg warns of
// "extraneous bytes before marker".
QString writeJpegWithStrayBytes(const QString &path);

// A PNG with a valid header claiming `width` x `height` (8-bit RGB) and no pixel data.
QString writePngHeaderClaiming(const QString &path, quint32 width, quint32 height);

// A whole, valid JPEG whose frame header claims `width` x `height`.
QString writeJpegClaimingSize(const QString &path, int width, int height);

// Colour of the staged JPEG at a fraction of its width (0..1), middle row; invalid when unreadable.
QColor pixelAt(const QString &jpegPath, double xFraction);

// True when `a` and `b` differ by at most `tolerance` per channel (JPEG is lossy).
bool near(QColor a, QColor b, int tolerance = 24);

} // namespace pagemint::test
