#pragma once
// Where a picture goes on a page of the chosen paper: the page size in points and the matrix that
// draws the picture there, turned upright by its EXIF orientation and fitted inside the margins.
// Only arithmetic: the picture's bytes stay as they are.

#include "PageGeometry.h"
#include "contract/PageLayout.h"
#include "contract/PageTurn.h"

#include <array>
#include <optional>

namespace pagemint {

// The longer side of a 适应图片 page: the long side of A4, 11.69 inches.
inline constexpr double kPictureLongSide = 297.0 * 72.0 / 25.4;

struct PaperSize {
    double width = 0, height = 0; // points, portrait (width <= height)
};
// The size of a paper; none for the original and the picture's own shape, which have no fixed one.
std::optional<PaperSize> paperSize(Paper paper);

// The picture's size upright, in points, before any fitting, from its page on the original paper.
struct UprightSize {
    double width = 0, height = 0;
};
UprightSize uprightSize(const PageGeometry &original);

// The page for a picture `upright` points large under `layout` (not the original paper): the
// media box, no /Rotate, and the rectangle the upright picture fills, centred inside the margins.
struct Placement {
    double pageWidth = 0, pageHeight = 0;
    double x = 0, y = 0, width = 0, height = 0;
};
Placement placement(UprightSize upright, const PageLayout &layout);

// The matrix that draws the image's unit square into `box` shown upright, for EXIF orientation
// 1..8 (anything else: as stored).
std::array<double, 6> uprightMatrix(const Placement &box, int orientation);

// The whole page: on the original paper exactly pageGeometry(info); on any other the placement.
// `turn` is the extra clockwise turn (0, 90, 180, 270) on top of the EXIF orientation, whoever
// asked for it; on the original paper a quarter turn swaps the page's sides.
PageGeometry laidOutPage(const JpegInfo &info, const PageLayout &layout, int turn = 0);

// A page whose picture is turned by `turn` on top of its EXIF orientation, drawn by the matrix
// alone (no /Rotate, so what lies over the picture shares its upright space), and the rectangle
// the turned picture fills. On the original paper the page is the turned picture's size (width and
// height swap for a quarter turn); on any other paper it is laid out as laidOutPage lays it.
struct TurnedPage {
    PageGeometry geometry;
    Placement box;
};
TurnedPage turnedPage(const JpegInfo &info, int turn, const PageLayout &layout);

} // namespace pagemint
