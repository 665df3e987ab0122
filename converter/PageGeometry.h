#pragma once
// How a picture sits on its page: size from pixels and resolution, and the turn or mirror its EXIF
// orientation asks for. Plain functions, so every rule has a table test.

#include <array>

namespace pagemint {

struct JpegInfo;

// PDF readers refuse pages larger than 200 inches (14400 points) a side.
inline constexpr double kMaxPageSide = 14400.0;
// Resolution used when a file states none, or one no real picture has.
inline constexpr double kDefaultDpi = 96.0;
inline constexpr double kMinPlausibleDpi = 10.0;
inline constexpr double kMaxPlausibleDpi = 10000.0;

struct Resolution {
    double x = kDefaultDpi, y = kDefaultDpi;
};

// The resolution to lay the picture out at: the stated one when both axes are plausible, else
// kDefaultDpi on both axes.
Resolution effectiveResolution(double statedX, double statedY);

struct PageGeometry {
    double mediaWidth = 0, mediaHeight = 0; // points, the page as stored (before /Rotate)
    int rotate = 0;                         // /Rotate: 0, 90, 180 or 270
    // The content stream's `cm` operands that map the image's unit square onto the page.
    std::array<double, 6> matrix{1, 0, 0, 1, 0, 0};
};

// Turns come out as /Rotate over an unturned picture; mirrors (EXIF 2, 4, 5, 7) as a matrix on
// a page of the upright size. Orientation outside 1..8 means upright.
PageGeometry pageGeometry(int pixelWidth, int pixelHeight, Resolution dpi, int orientation);

PageGeometry pageGeometry(const JpegInfo &info);

} // namespace pagemint
