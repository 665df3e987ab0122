#include "FlattenOnWhite.h"

namespace pagemint::decoder {

namespace {
// FreeImage_ConvertTo24Bits returns nothing for 16-bit gray, float and the other numeric types:
// bring them to an 8-bit or 32-bit bitmap first.
ImageHandle toStandardBitmap(FIBITMAP *image)
{
    switch (FreeImage_GetImageType(image)) {
    case FIT_UINT16:
        // Keeps the picture's own levels; a linear rescale would stretch its contrast.
        return ImageHandle(FreeImage_ConvertTo8Bits(image));
    case FIT_RGB16:
        return ImageHandle(FreeImage_ConvertTo24Bits(image));
    case FIT_RGBA16:
        return ImageHandle(FreeImage_ConvertTo32Bits(image));
    case FIT_RGBF:
    case FIT_RGBAF:
        return ImageHandle(FreeImage_ToneMapping(image, FITMO_DRAGO03));
    default:
        return ImageHandle(FreeImage_ConvertToStandardType(image, TRUE));
    }
}

// Many 32-bit BMPs and icons leave the fourth byte at zero although they are opaque; taking it as
// alpha would turn the whole page white.
bool alphaIsAllZero(FIBITMAP *image)
{
    const unsigned width = FreeImage_GetWidth(image);
    const unsigned height = FreeImage_GetHeight(image);
    for (unsigned y = 0; y < height; ++y) {
        const auto *pixel = reinterpret_cast<const RGBQUAD *>(FreeImage_GetScanLine(image, y));
        for (unsigned x = 0; x < width; ++x) {
            if (pixel[x].rgbReserved != 0)
                return false;
        }
    }
    return true;
}

bool hasTransparency(FIBITMAP *image)
{
    if (!FreeImage_IsTransparent(image))
        return false;
    return FreeImage_GetBPP(image) != 32 || !alphaIsAllZero(image);
}
} // namespace

ImageHandle flattenOnWhite(ImageHandle image)
{
    // Each step drops the picture it came from, so at most two copies are held at a time.
    if (image && FreeImage_GetImageType(image.get()) != FIT_BITMAP)
        image = toStandardBitmap(image.get());
    if (!image)
        return {};
    if (!hasTransparency(image.get()))
        return FreeImage_GetBPP(image.get()) == 24 ? std::move(image)
                                                   : ImageHandle(FreeImage_ConvertTo24Bits(image.get()));

    // FreeImage_Composite blends only 8-bit palettes and 32-bit pictures; 32 bits covers every case
    // (a palette's transparency table becomes alpha).
    if (FreeImage_GetBPP(image.get()) != 32)
        image.reset(FreeImage_ConvertTo32Bits(image.get()));
    if (!image)
        return {};
    RGBQUAD white{0xFF, 0xFF, 0xFF, 0xFF};
    return ImageHandle(FreeImage_Composite(image.get(), FALSE, &white, nullptr));
}

} // namespace pagemint::decoder
