#pragma once
// The staged page, read from stdin inside the sandbox: its bytes (bounded), its JPEG markers, and
// its pixels as shown (EXIF orientation applied), scaled down while decoding when it is larger
// than the recogniser reads.

#include "Outcome.h"
#include "Pixels.h"

#include <cstdint>
#include <vector>

namespace pagemint::recognizer {

// All of descriptor `fd`, refused as TooLarge past `limit` bytes and Unreadable when empty or
// when reading fails.
Outcome readBounded(int fd, std::uint64_t limit, std::vector<unsigned char> &bytes);

// The JPEG decoder's scale (1, 2, 4 or 8) that brings width x height within `maxPixels`; 0 when
// even an eighth is larger.
int jpegReduction(std::uint64_t width, std::uint64_t height, std::uint64_t maxPixels);

// The resolution the engine is told: the larger one the JPEG states, over the reduction; 300 dpi,
// as scanners' pages are, when it states none or one below 100: 72 and 96 are what writers put
// when they know none (every phone photo says 72).
int engineResolution(double dpiX, double dpiY, int reduction);

struct Page {
    PixHandle pix; // as shown: EXIF orientation applied
    int resolution = 300;
};

// Decodes the JPEG in `bytes`.
Outcome decodePage(const std::vector<unsigned char> &bytes, Page &page);

} // namespace pagemint::recognizer
