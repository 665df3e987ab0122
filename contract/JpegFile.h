#pragma once
// Inspects a JPEG held in pieces: the header read from the front, then, from the back, as far as
// the end marker. A file is read this way (inspectJpegFile): two small reads cost less than
// mapping each file, faulting its pages in and unmapping it again.

#include "contract/JpegInfo.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace pagemint {

// Fills `into` with the bytes at `offset`; false with a short reason when they cannot be read.
using ReadAt = std::function<bool(std::uint64_t offset, std::span<unsigned char> into, std::string &reason)>;

struct PieceSizes {
    std::size_t head = 16 * 1024; // the first read from the front: most headers fit
    std::size_t tail = 4 * 1024;  // the first read from the back: the end marker is nearly always last
};

// What inspectJpeg says of the `size` bytes `read` gives, reading only the pieces it needs.
bool inspectJpegPieces(const ReadAt &read, std::uintmax_t size, JpegInfo &info, std::string &reason,
                       PieceSizes sizes = {});

} // namespace pagemint
