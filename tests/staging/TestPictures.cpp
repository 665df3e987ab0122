#include "TestPictures.h"

#include <FreeImage.h>

#include <QFile>
#include <QPainter>

#include <cstdlib>
#include <memory>

namespace pagemint::test {

namespace {
struct Unload {
    void operator()(FIBITMAP *image) const { FreeImage_Unload(image); }
};
using Bitmap = std::unique_ptr<FIBITMAP, Unload>;

QByteArray nativeName(const QString &path)
{
    return QFile::encodeName(path);
}

// Palette bitmap, index 0 on the left half and 1 on the right half.
Bitmap twoIndexBitmap(unsigned bpp, QColor zero, QColor one, unsigned width = 64, unsigned height = 48)
{
    Bitmap image(FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), static_cast<int>(bpp)));
    RGBQUAD *palette = FreeImage_GetPalette(image.get());
    palette[0] = {static_cast<BYTE>(zero.blue()), static_cast<BYTE>(zero.green()), static_cast<BYTE>(zero.red()), 0};
    palette[1] = {static_cast<BYTE>(one.blue()), static_cast<BYTE>(one.green()), static_cast<BYTE>(one.red()), 0};
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            BYTE index = x < width / 2 ? 0 : 1;
            FreeImage_SetPixelIndex(image.get(), x, y, &index);
        }
    }
    return image;
}

Bitmap solid(QColor colour, int width, int height)
{
    Bitmap image(FreeImage_Allocate(width, height, 24));
    RGBQUAD value{static_cast<BYTE>(colour.blue()), static_cast<BYTE>(colour.green()), static_cast<BYTE>(colour.red()),
                  0};
    FreeImage_FillBackground(image.get(), &value);
    return image;
}
} // namespace

QImage halves(QImage::Format format, QColor left, QColor right, int width, int height)
{
    QImage image(width, height, format);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(0, 0, width / 2, height, left);
    painter.fillRect(width / 2, 0, width - width / 2, height, right);
    return image;
}

QString saveWithQt(const QImage &image, const QString &path, const char *format)
{
    return image.save(path, format) ? path : QString();
}

QString writeGifWithTransparentIndex(const QString &path)
{
    Bitmap image = twoIndexBitmap(8, Qt::black, Qt::red);
    BYTE table[2] = {0x00, 0xFF};
    FreeImage_SetTransparencyTable(image.get(), table, 2);
    return FreeImage_Save(FIF_GIF, image.get(), nativeName(path).constData(), 0) ? path : QString();
}

QString writeOneBitBmp(const QString &path)
{
    const Bitmap image = twoIndexBitmap(1, QColor(0, 0, 128), QColor(255, 255, 0));
    return FreeImage_Save(FIF_BMP, image.get(), nativeName(path).constData(), 0) ? path : QString();
}

QString writeMultiPageTiff(const QString &path, const std::vector<QColor> &pages)
{
    FIMULTIBITMAP *file = FreeImage_OpenMultiBitmap(FIF_TIFF, nativeName(path).constData(), TRUE, FALSE, FALSE, 0);
    if (file == nullptr)
        return {};
    bool first = true;
    for (const QColor &colour : pages) {
        const Bitmap page = first ? solid(colour, 40, 30) : solid(colour, 20, 10);
        FreeImage_AppendPage(file, page.get());
        first = false;
    }
    return FreeImage_CloseMultiBitmap(file, 0) ? path : QString();
}

QColor pixelAt(const QString &jpegPath, double xFraction)
{
    const QImage image(jpegPath, "JPEG");
    if (image.isNull())
        return {};
    const int x = std::min(image.width() - 1, static_cast<int>(xFraction * image.width()));
    return image.pixelColor(x, image.height() / 2);
}

bool near(QColor a, QColor b, int tolerance)
{
    return a.isValid() && b.isValid() && std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance && std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace pagemint::test
