#pragma once
// A PNG's chunks walked by their lengths before a loader reads them. libpng allocates what a text,
// pCAL, sCAL or sPLT chunk claims before it reads a byte of it, so 57 bytes claiming a gigabyte cost
// each reader 1 GB and seconds before it failed; FreeImage gives no access to libpng's own chunk
// limits, and this stops both readers at once.

#include "contract/DecodeOutcome.h"

#include <cstdint>

namespace pagemint::decoder {

// The most an ancillary chunk (text, metadata, a profile) may hold: many times what real files
// carry there, and far below what would strain the helper.
inline constexpr std::uint32_t kMaxAncillaryChunk = 64u << 20;

// Refused when a chunk of the PNG open as `fd` claims more bytes than the file holds after it (the
// picture data: cut short; anything else: damaged) or an ancillary chunk is larger than
// kMaxAncillaryChunk; written() otherwise, leaving the rest to the loader.
DecodeOutcome checkPngChunks(int fd);

} // namespace pagemint::decoder
