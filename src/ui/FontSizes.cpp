#include "ui/FontSizes.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace pagemint {

int fontHeightPixels(int points, int dpi)
{
    const qint64 product = qint64(points) * dpi;
    const qint64 magnitude = (std::llabs(product) + 36) / 72;
    return int(product < 0 ? magnitude : -magnitude);
}

qint16 truncatedPointSize(double points)
{
    if (!(points > 0)) // also NaN
        return 0;
    const double whole = std::trunc(points);
    constexpr double largest = std::numeric_limits<qint16>::max();
    return qint16(whole > largest ? largest : whole);
}

} // namespace pagemint
