#pragma once
// How large a picture may be to become a page. The decoder helper runs under an address-space
// cap; the pixel budget is what that cap can hold once the libraries and the JPEG writer have
// their share, so a picture is refused from its header instead of failing half-way through a
// decode. A JPEG that passes through unchanged is never decoded here: it is held only to what a
// PDF reader can draw (passThroughSizeProblem). Standard library only: the helper and the program
// share it.

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

// A JPEG copied into the PDF as it is: PDF readers decode the whole picture before drawing it, at 3
// to 4 bytes a pixel, so a gigapixel already asks them for 3 to 4 GB. Well above what the decoder
// holds (a 250 MP scan passes), far below the 4.3 GP a JPEG header can claim, whose blank page a
// reader took 26 s to draw.
inline constexpr std::uint64_t kMaxPassThroughPixels = 1'000'000'000;

namespace detail {
inline std::string sizeText(std::uint64_t width, std::uint64_t height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

// No size, or a side longer than a JPEG can hold (libjpeg reads and writes none longer either).
inline std::string sideProblem(std::uint64_t width, std::uint64_t height)
{
    if (width == 0 || height == 0)
        return std::string(reason::kNoSize);
    if (width > kMaxPageSide || height > kMaxPageSide)
        return reason::inBrackets(reason::kTooLarge, sizeText(width, height) + "，JPEG页面每边最多 " +
                                                         std::to_string(kMaxPageSide) + " 像素");
    return {};
}

inline std::string pixelProblem(std::uint64_t width, std::uint64_t height, std::uint64_t limit, std::string_view what)
{
    if (width * height <= limit)
        return {};
    return reason::inBrackets(reason::kTooLarge, sizeText(width, height) + "，" + std::string(what) + "最多 " +
                                                     std::to_string(limit / 1'000'000) + " 百万像素");
}
} // namespace detail

// Why a width x height picture that needs `bitsPerPixel` in the helper cannot be a page; empty
// when it can.
inline std::string pictureSizeProblem(std::uint64_t width, std::uint64_t height, std::uint64_t bitsPerPixel)
{
    if (std::string problem = detail::sideProblem(width, height); !problem.empty())
        return problem;
    return detail::pixelProblem(width, height, maxPixels(bitsPerPixel), "此类图片");
}

// Why a JPEG that would go into the PDF unchanged cannot be a page; empty when it can.
inline std::string passThroughSizeProblem(std::uint64_t width, std::uint64_t height)
{
    if (std::string problem = detail::sideProblem(width, height); !problem.empty())
        return problem;
    return detail::pixelProblem(width, height, kMaxPassThroughPixels, "直接放入PDF的JPEG图片");
}

// The text recogniser, run on a staged page under its own cap and time limit. Measured with
// chi_sim+eng and the orientation model, one engine thread: an A4 page at 300 dpi (8.7 MP) peaks at
// 222 MB resident and runs in 280 MB of address space; at 600 dpi (35 MP) 500 MB resident, under
// 540 MB of address space; 2 to 9 s a page on this machine's shared cores. Pages past
// kRecognizerMaxPixels are read at a half, a quarter or an eighth of their size (the JPEG decoder
// scales as it decodes): text that large still reads, and the page text's grid gives the size.
inline constexpr std::uint64_t kRecognizerAddressSpaceLimit = 1ull << 30;
inline constexpr std::uint64_t kRecognizerMaxPixels = 40'000'000;
// The staged page is held whole while it is decoded.
inline constexpr std::uint64_t kRecognizerMaxInputBytes = 256ull << 20;
inline constexpr int kRecognizerTimeLimitSeconds = 60;

} // namespace pagemint
