#pragma once
// Turns any picture FreeImage loads into the 24-bit colour a JPEG page needs, as a person would
// see it printed: transparent parts become white paper instead of whatever colour hides under
// them (FreeImage_ConvertTo24Bits drops alpha, which often shows black).

#include "ImageHandle.h"

namespace pagemint::decoder {

// 24-bit copy of `image`; empty when FreeImage cannot convert this kind of picture.
ImageHandle flattenOnWhite(FIBITMAP *image);

} // namespace pagemint::decoder
