#pragma once
// BMPs whose pixels are 16- or 32-bit words cut into channels by masks (BI_BITFIELDS,
// BI_ALPHABITFIELDS): 5-6-5, 10-10-10-2, odd masks of one to nine bits, a fourth byte that is not
// alpha. FreeImage and Qt's reader both get some of them wrong (FreeImage misreads odd masks and
// takes an unused fourth byte for alpha; Qt's reader turns channels wider than 8 bits black), so
// they are read here: each channel scaled from its own width to 8 bits.

#include "BmpHeader.h"
#include "contract/DecodeOutcome.h"

#include <cstdio>

namespace pagemint::decoder {

// Reads the picture of the open BMP `fd`, whose `header` names bit-field masks, and writes its page
// to `target`.
DecodeOutcome decodeBitfieldBmp(int fd, const BmpHeader &header, std::FILE *target);

} // namespace pagemint::decoder
