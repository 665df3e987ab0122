#include "GifHeader.h"

#include "FileBytes.h"

#include <vector>

namespace pagemint::decoder {

namespace {
// Extensions before the first image (comments, application data) fit in this many bytes in any
// real file; a walk that runs past it leaves the picture to the loader and the memory cap.
constexpr std::size_t kWalkBytes = 1u << 20;
constexpr std::size_t kScreenDescriptorEnd = 13;
} // namespace

std::optional<PictureSize> gifFirstImageSize(int fd)
{
    const std::vector<unsigned char> bytes = bytesAt(fd, 0, kWalkBytes);
    if (bytes.size() < kScreenDescriptorEnd)
        return std::nullopt;
    std::size_t at = kScreenDescriptorEnd;
    if (const unsigned flags = bytes[10]; flags & 0x80)
        at += 3u << ((flags & 7) + 1); // the global colour table
    while (at < bytes.size()) {
        const unsigned char block = bytes[at];
        if (block == 0x2C) { // image descriptor: left, top, width, height
            if (at + 9 > bytes.size())
                return std::nullopt;
            return PictureSize{le16(&bytes[at + 5]), le16(&bytes[at + 7])};
        }
        if (block != 0x21 || at + 2 > bytes.size()) // only extensions come before it
            return std::nullopt;
        at += 2; // introducer and label, then data sub-blocks up to an empty one
        while (at < bytes.size() && bytes[at] != 0)
            at += 1u + bytes[at];
        ++at;
    }
    return std::nullopt;
}

} // namespace pagemint::decoder
