#pragma once

#include <cmath>

namespace pagemint {

// Nearest whole number, halves to the even one (2.5 -> 2, 3.5 -> 4).
inline double roundHalfEven(double value)
{
    const double lower = std::floor(value);
    const double diff = value - lower;
    if (diff < 0.5)
        return lower;
    if (diff > 0.5)
        return lower + 1;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

} // namespace pagemint
