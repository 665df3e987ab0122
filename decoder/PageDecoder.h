#pragma once
// Decodes one picture and writes it as a baseline JPEG page (FreeImage flags 0: quality 75).

#include "contract/DecodeOutcome.h"

#include <cstdio>

namespace pagemint::decoder {

// Reads the picture in `source` (a regular file open for reading; its format from its bytes),
// converts it to 24-bit colour on white and writes the JPEG page to `target` (open for writing).
// The caller owns both files and names them; on a refusal `target` may hold part of a page.
DecodeOutcome decodePage(std::FILE *source, std::FILE *target);

} // namespace pagemint::decoder
