#pragma once
// How large a picture may be to become a page. The decoder helper runs under an address-space
// cap; the pixel budget is what that cap can hold once the libraries and the JPEG writer have
// their share, so a picture is refused from its header instead of failing half-way through a
// decode. JPEGs that pass through unchanged are held to the same limits: a page no reader can
// draw is no better than a missing one. Standard library only: the helper and the program share it.

#include "contract/Reasons.h"

#include <cstdint>
#include <string>

namespace pagemint {

// Address-space cap of the decoder helper.
inline constexpr std::uint64_t kDecoderAddressSpaceLimit = 2ull << 30;
// What the helper needs besides pixels: its libraries, heap bookkeeping and the JPEG writer's
// buffers (measured at well under 100 MB; the rest is margin).
inline constexpr std::uint64_t kDecoderReserve = 256ull << 20;
inline constexpr std::uint64_t kPixelBudgetBytes = kDecoderAddressSpaceLimit - kDecoderReserve;
// libjpeg writes no side longer than this (JPEG_MAX_DIMENSION); the format's own field would allow 65535.
inline constexpr std::uint64_t kMaxPageSide = 65500;

// Pixels the helper can hold when a picture needs `bitsPerPixel` bits of memory per pixel at the
// peak of its decode and conversions (24 for an 8-bit RGB picture written as it loads).
inline constexpr std::uint64_t maxPixels(std::uint64_t bitsPerPixel)
{
    return kPixelBudgetBytes * 8 / bitsPerPixel;
}

// Why a width x height picture that needs `bitsPerPixel` in the helper cannot be a page; empty
// when it can.
inline std::string pictureSizeProblem(std::uint64_t width, std::uint64_t height, std::uint64_t bitsPerPixel)
{
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width == 0 || height == 0)
        return std::string(reason::kNoSize);
    if (width > kMaxPageSide || height > kMaxPageSide)
        return reason::inBrackets(reason::kTooLarge,
                                  size + "；JPEG页面每边最多 " + std::to_string(kMaxPageSide) + " 像素");
    if (width * height > maxPixels(bitsPerPixel))
        return reason::inBrackets(reason::kTooLarge, size + "；此类图片最多 " +
                                                         std::to_string(maxPixels(bitsPerPixel) / 1'000'000) +
                                                         " 百万像素");
    return {};
}

} // namespace pagemint
