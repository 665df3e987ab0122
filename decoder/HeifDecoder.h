#pragma once
// HEIC/HEIF (HEVC) and AVIF (AV1) pictures, as phones and the web save them, through libheif.
// The picture the file names as primary is the page, never a thumbnail or another picture of a
// burst; its rotation and mirroring come from the container and are applied once; an embedded
// ICC profile (phones use Display P3) is converted to sRGB; 10- and 12-bit pictures come out as
// 8 bits; transparency is laid on white.

#include "contract/DecodeOutcome.h"

#include <cstdio>

namespace pagemint::decoder {

// True when the bytes at the start of `source` are a HEIF or AVIF file; leaves it at the start.
bool isHeif(std::FILE *source);

// Loads libheif's codecs; call before the sandbox closes the file system.
void prepareHeif();

DecodeOutcome decodeHeif(std::FILE *source, std::FILE *target);

} // namespace pagemint::decoder
