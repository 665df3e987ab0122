#pragma once
// Every decoded page is written the same way, whichever reader decoded it: FreeImage's JPEG
// writer with flags 0 (baseline, quality 75).

#include "contract/DecodeOutcome.h"

#include <FreeImage.h>

#include <cstdio>

namespace pagemint::decoder {

// Writes the 24-bit `page` as a JPEG to `target` and flushes it; a full disk is named as such.
DecodeOutcome writePage(FIBITMAP *page, std::FILE *target);

} // namespace pagemint::decoder
