#pragma once
// A large PNG made into its page a row at a time: libpng reads a row, libjpeg writes it. A 100 MP
// picture then needs a few rows in memory instead of 300 MB for the whole bitmap, and its page
// is the one FreeImage would write, byte for byte.

#include "contract/DecodeOutcome.h"

#include <cstdio>
#include <optional>

namespace pagemint::decoder {

// Writes the page of the PNG in `source` (its chunks and size already checked) to `target`.
// Nothing (and `source` rewound) when the PNG is not one this reader takes, so FreeImage reads it:
// interlaced (its rows come in seven passes), with transparency (the white paper under it), with
// an ICC profile or text (FreeImage writes those into the page), or a gamma on a palette or on
// 16-bit or 1- to 4-bit samples.
std::optional<DecodeOutcome> decodePngInStrips(std::FILE *source, std::FILE *target);

} // namespace pagemint::decoder
