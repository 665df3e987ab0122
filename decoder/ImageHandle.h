#pragma once
// Owns a FreeImage bitmap, so every early return unloads it.

#include <FreeImage.h>

#include <memory>

namespace pagemint::decoder {

struct ImageUnloader {
    void operator()(FIBITMAP *image) const { FreeImage_Unload(image); }
};

using ImageHandle = std::unique_ptr<FIBITMAP, ImageUnloader>;

} // namespace pagemint::decoder
