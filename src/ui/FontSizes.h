#pragma once

#include <QtGlobal>

namespace pagemint {

// The character height in pixels of a `points` font on a `dpi` device, negative as font heights
// that mean the character (not the cell) are: 12 pt at 96 dpi gives -16. Rounded to the nearest
// pixel, halves away from zero. Qt derives the same height itself from a point size; this is the
// rule to use where a height must be computed by hand.
int fontHeightPixels(int points, int dpi);

// The FontSize property for a point size the font dialog returns: the whole points, the fraction
// dropped (10.5 gives 10), limited to what the property holds. Sizes that are no size (a font
// sized in pixels reports -1) give 0.
qint16 truncatedPointSize(double points);

} // namespace pagemint
