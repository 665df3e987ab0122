#include "PageGeometry.h"

#include "contract/JpegInfo.h"

#include <algorithm>

namespace pagemint {

namespace {
bool plausible(double dpi)
{
    return dpi >= kMinPlausibleDpi && dpi <= kMaxPlausibleDpi;
}
} // namespace

Resolution effectiveResolution(double statedX, double statedY)
{
    if (plausible(statedX) && plausible(statedY))
        return {statedX, statedY};
    return {};
}

PageGeometry pageGeometry(int pixelWidth, int pixelHeight, Resolution dpi, int orientation)
{
    double w = std::max(pixelWidth, 1) * 72.0 / dpi.x;
    double h = std::max(pixelHeight, 1) * 72.0 / dpi.y;
    // Shrink both sides alike, so the picture keeps its proportions.
    // The longer side is set exactly: scaling it would round to just past the limit.
    if (w >= h && w > kMaxPageSide) {
        h = std::min(h * (kMaxPageSide / w), kMaxPageSide);
        w = kMaxPageSide;
    } else if (h > w && h > kMaxPageSide) {
        w = std::min(w * (kMaxPageSide / h), kMaxPageSide);
        h = kMaxPageSide;
    }

    PageGeometry g;
    g.mediaWidth = w;
    g.mediaHeight = h;
    g.matrix = {w, 0, 0, h, 0, 0};
    // For the mirrors, (u, v) is a point of the image's unit square (v up, the first stored row at
    // v = 1); the matrices send it where the upright picture shows that pixel.
    switch (orientation) {
    case 2: // mirrored left to right
        g.matrix = {-w, 0, 0, h, w, 0};
        break;
    case 3:
        g.rotate = 180;
        break;
    case 4: // mirrored top to bottom
        g.matrix = {w, 0, 0, -h, 0, h};
        break;
    case 5: // transposed: stored rows become columns
        g.mediaWidth = h;
        g.mediaHeight = w;
        g.matrix = {0, -w, -h, 0, h, w};
        break;
    case 6:
        g.rotate = 90;
        break;
    case 7: // transposed across the other diagonal
        g.mediaWidth = h;
        g.mediaHeight = w;
        g.matrix = {0, w, h, 0, 0, 0};
        break;
    case 8:
        g.rotate = 270;
        break;
    default:
        break;
    }
    return g;
}

PageGeometry pageGeometry(const JpegInfo &info)
{
    return pageGeometry(info.width, info.height, effectiveResolution(info.dpiX, info.dpiY), info.orientation);
}

} // namespace pagemint
