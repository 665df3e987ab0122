#pragma once
// Header bytes read by position: the checks made before a loader runs leave the file's offset
// where the loader expects it. Standard library and POSIX only: both helpers use it.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pagemint::decoder {

// Up to `count` bytes at `offset` of the open file `fd`: fewer at its end, none on an error.
std::vector<unsigned char> bytesAt(int fd, std::uint64_t offset, std::size_t count);

// The size of the open file `fd`; 0 when it cannot be told.
std::uint64_t fileSize(int fd);

inline std::uint32_t le16(const unsigned char *p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8;
}

inline std::uint32_t le32(const unsigned char *p)
{
    return le16(p) | le16(p + 2) << 16;
}

inline std::uint32_t be32(const unsigned char *p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | std::uint32_t(p[3]);
}

} // namespace pagemint::decoder
