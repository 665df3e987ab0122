#include "PagePlacement.h"

#include "contract/JpegInfo.h"
#include "contract/PageTurn.h"

#include <algorithm>

namespace pagemint {

namespace {
constexpr double pointsOfMm(double mm)
{
    return mm * 72.0 / 25.4;
}
} // namespace

std::optional<PaperSize> paperSize(Paper paper)
{
    switch (paper) {
    case Paper::A4:
        return PaperSize{pointsOfMm(210), pointsOfMm(297)};
    case Paper::A5:
        return PaperSize{pointsOfMm(148), pointsOfMm(210)};
    case Paper::B5:
        // The B5 of Chinese offices and shops is the JIS size (182 x 257 mm), not ISO B5
        // (176 x 250 mm): a user who picks B5 has that paper in the printer.
        return PaperSize{pointsOfMm(182), pointsOfMm(257)};
    case Paper::Letter:
        return PaperSize{612, 792};
    case Paper::Legal:
        return PaperSize{612, 1008};
    case Paper::Original:
    case Paper::Picture:
        break;
    }
    return std::nullopt;
}

UprightSize uprightSize(const PageGeometry &original)
{
    // pageGeometry keeps the stored shape for the quarter turns it leaves to /Rotate, and gives the
    // upright one for the transposes, so only those turns swap here.
    const bool swap = original.rotate % 180 != 0;
    return swap ? UprightSize{original.mediaHeight, original.mediaWidth}
                : UprightSize{original.mediaWidth, original.mediaHeight};
}

Placement placement(UprightSize upright, const PageLayout &layout)
{
    const bool pictureIsWide = upright.width > upright.height;
    Placement p;
    if (const std::optional<PaperSize> paper = paperSize(layout.paper)) {
        const bool landscape = layout.orientation == PageOrientation::Landscape ||
                               (layout.orientation == PageOrientation::Auto && pictureIsWide);
        p.pageWidth = landscape ? paper->height : paper->width;
        p.pageHeight = landscape ? paper->width : paper->height;
    } else {
        // The picture's own shape, the longer side set exactly.
        const double scale = kPictureLongSide / std::max(upright.width, upright.height);
        p.pageWidth = pictureIsWide ? kPictureLongSide : upright.width * scale;
        p.pageHeight = pictureIsWide ? upright.height * scale : kPictureLongSide;
    }
    // A margin never takes more than a quarter of a side, so a sliver of a picture page keeps room.
    const double margin =
        std::min(pointsOfMm(std::clamp(layout.marginMm, 0, kMaxMarginMm)), std::min(p.pageWidth, p.pageHeight) / 4);
    const double roomWidth = p.pageWidth - 2 * margin, roomHeight = p.pageHeight - 2 * margin;
    double scale = std::min(roomWidth / upright.width, roomHeight / upright.height);
    if (layout.fit == PageFit::Shrink)
        scale = std::min(scale, 1.0);
    p.width = upright.width * scale;
    p.height = upright.height * scale;
    p.x = (p.pageWidth - p.width) / 2;
    p.y = (p.pageHeight - p.height) / 2;
    return p;
}

std::array<double, 6> uprightMatrix(const Placement &box, int orientation)
{
    // (u, v) is a point of the image's unit square (v up, the first stored row at v = 1); each
    // matrix sends it where the upright picture shows that pixel inside the box.
    const double x = box.x, y = box.y, w = box.width, h = box.height;
    switch (orientation) {
    case 2: // mirrored left to right
        return {-w, 0, 0, h, x + w, y};
    case 3: // half a turn
        return {-w, 0, 0, -h, x + w, y + h};
    case 4: // mirrored top to bottom
        return {w, 0, 0, -h, x, y + h};
    case 5: // transposed: stored rows become columns
        return {0, -h, -w, 0, x + w, y + h};
    case 6: // stored a quarter turn anticlockwise: the first row becomes the right column
        return {0, -h, w, 0, x, y + h};
    case 7: // transposed across the other diagonal
        return {0, h, w, 0, x, y};
    case 8: // stored a quarter turn clockwise: the first row becomes the left column
        return {0, h, -w, 0, x + w, y};
    default:
        return {w, 0, 0, h, x, y};
    }
}

PageGeometry laidOutPage(const JpegInfo &info, const PageLayout &layout, int turn)
{
    // A turn after the EXIF one is another of the eight orientations, so both ways of drawing a
    // page (/Rotate on the original paper, the matrix on any other) take it as they are.
    const int orientation = turnedOrientation(info.orientation, turn);
    const PageGeometry original =
        pageGeometry(info.width, info.height, effectiveResolution(info.dpiX, info.dpiY), orientation);
    if (layout.paper == Paper::Original)
        return original;
    const Placement box = placement(uprightSize(original), layout);
    PageGeometry g;
    g.mediaWidth = box.pageWidth;
    g.mediaHeight = box.pageHeight;
    g.matrix = uprightMatrix(box, orientation);
    return g;
}

TurnedPage turnedPage(const JpegInfo &info, int turn, const PageLayout &layout)
{
    JpegInfo turned = info;
    turned.orientation = turnedOrientation(info.orientation, turn);
    const UprightSize upright = uprightSize(pageGeometry(turned));
    TurnedPage page;
    if (layout.paper == Paper::Original)
        page.box = {upright.width, upright.height, 0, 0, upright.width, upright.height};
    else
        page.box = placement(upright, layout);
    page.geometry.mediaWidth = page.box.pageWidth;
    page.geometry.mediaHeight = page.box.pageHeight;
    page.geometry.matrix = uprightMatrix(page.box, turned.orientation);
    return page;
}

} // namespace pagemint
