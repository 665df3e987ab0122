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

ImageHandle flattenOnWhite(FIBITMAP *image)
{
    ImageHandle converted;
    if (FreeImage_GetImageType(image) != FIT_BITMAP) {
        converted = toStandardBitmap(image);
        if (!converted)
            return {};
        image = converted.get();
    }
    if (!hasTransparency(image))
        return ImageHandle(FreeImage_ConvertTo24Bits(image));

    // FreeImage_Composite blends only 8-bit palettes and 32-bit pictures; 32 bits covers every case
    // (a palette's transparency table becomes alpha).
    ImageHandle withAlpha;
    if (FreeImage_GetBPP(image) != 32) {
        withAlpha.reset(FreeImage_ConvertTo32Bits(image));
        if (!withAlpha)
            return {};
        image = withAlpha.get();
    }
    RGBQUAD white{0xFF, 0xFF, 0xFF, 0xFF};
    return ImageHandle(FreeImage_Composite(image, FALSE, &white, nullptr));
}

} // namespace pagemint::decoder
