#pragma once
// A leptonica picture owned by one handle, and the turns the recogniser gives it: the JPEG's EXIF
// orientation first, then the quarter turn that puts the page upright.

#include <leptonica/allheaders.h>

#include <memory>

namespace pagemint::recognizer {

struct PixDeleter {
    void operator()(Pix *pix) const { pixDestroy(&pix); }
};
using PixHandle = std::unique_ptr<Pix, PixDeleter>;

// What shows the stored pixels as EXIF `orientation` (1..8) says: a clockwise turn, then a mirror
// left to right. Anything else is taken as 1, as the converter does.
struct PixelTurn {
    int clockwise = 0; // 0, 90, 180, 270
    bool mirror = false;
    bool operator==(const PixelTurn &) const = default;
};
PixelTurn exifTurn(int orientation);

// The pixels as shown; null when leptonica fails (out of memory).
PixHandle turned(PixHandle pix, PixelTurn turn);

} // namespace pagemint::recognizer
