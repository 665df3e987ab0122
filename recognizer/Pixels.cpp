#include "Pixels.h"

#include <array>

namespace pagemint::recognizer {

PixelTurn exifTurn(int orientation)
{
    // 2 mirrored, 3 upside down, 4 mirrored top to bottom (a half turn, mirrored), 5 transposed,
    // 6 lying on its left side, 7 transposed the other way, 8 lying on its right side.
    constexpr std::array<PixelTurn, 9> turns{{{0, false},
                                              {0, false},
                                              {0, true},
                                              {180, false},
                                              {180, true},
                                              {90, true},
                                              {90, false},
                                              {270, true},
                                              {270, false}}};
    return orientation >= 1 && orientation <= 8 ? turns[static_cast<std::size_t>(orientation)] : PixelTurn{};
}

PixHandle turned(PixHandle pix, PixelTurn turn)
{
    if (!pix)
        return pix;
    if (turn.clockwise != 0) {
        pix = PixHandle(pixRotateOrth(pix.get(), turn.clockwise / 90));
        if (!pix)
            return pix;
    }
    if (turn.mirror)
        pix = PixHandle(pixFlipLR(nullptr, pix.get()));
    return pix;
}

} // namespace pagemint::recognizer
