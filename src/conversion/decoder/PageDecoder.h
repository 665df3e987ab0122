#pragma once
// Decodes one picture and writes it as a baseline JPEG page (FreeImage flags 0: quality 75).

#include "DecodeOutcome.h"

#include <cstdint>
#include <string>

namespace pagemint::decoder {

// Largest picture decoded, in pixels (width x height): 100 megapixels holds an A3 scan at 600 dpi
// with room to spare, and stays far below the helper's address-space cap after the colour
// conversions. Files of a few hundred bytes can claim gigapixels; they are refused from the
// header, before any pixel memory is asked for.
inline constexpr std::uint64_t kMaxPixels = 100'000'000;

// Reads `source` (format from its bytes, else its extension), converts it to 24-bit colour on
// white and writes `target` through a temporary name in the same folder, so `target` either
// holds a whole page or is left as it was.
DecodeOutcome decodePage(const std::string &source, const std::string &target);

} // namespace pagemint::decoder
