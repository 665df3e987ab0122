#pragma once
// Turns any picture FreeImage loads into the 24-bit colour a JPEG page needs, as a person would
// see it printed: transparent parts become white paper instead of whatever colour hides under
// them (FreeImage_ConvertTo24Bits drops alpha, which often shows black).

#include "ImageHandle.h"

namespace pagemint::decoder {

// The 24-bit page of `image`, which it takes over (a 24-bit picture without alpha is returned as
// it is, without a copy); empty when FreeImage cannot convert this kind of picture.
ImageHandle flattenOnWhite(ImageHandle image);

} // namespace pagemint::decoder
