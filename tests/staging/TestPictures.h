#pragma once
// Pictures the staging tests make on the fly (each writer returns the path, or "" on failure): Qt writes PNG, JPEG and
// BMP; FreeImage writes what Qt cannot (palette GIF with a transparent index, 1-bit BMP, multi-page TIFF).

#include <QColor>
#include <QImage>
#include <QString>

#include "CraftedPictures.h"

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

// Colour of the staged JPEG at a fraction of its width (0..1), middle row; invalid when unreadable.
QColor pixelAt(const QString &jpegPath, double xFraction);

// True when `a` and `b` differ by at most `tolerance` per channel (JPEG is lossy).
bool near(QColor a, QColor b, int tolerance = 24);

} // namespace pagemint::test
