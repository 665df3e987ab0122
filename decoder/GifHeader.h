#pragma once
// The size of a GIF's first picture, read from its blocks: FreeImage has no header-only load for
// GIF, so a header claiming 65535 x 65535 made it allocate until the helper's memory cap stopped it
// ("DIB allocation failed") instead of naming the size and the limit.

#include <cstdint>
#include <optional>

namespace pagemint::decoder {

struct PictureSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The size of the first image of the GIF open as `fd`, the one that becomes the page (its logical
// screen may be larger; FreeImage loads the image alone); nothing when the file holds no image
// descriptor the walk can reach.
std::optional<PictureSize> gifFirstImageSize(int fd);

} // namespace pagemint::decoder
