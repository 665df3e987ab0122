#pragma once
// Copies bytes from one file into another inside the kernel (copy_file_range, as cat does), so
// picture data never passes through the converter's memory; where the kernel will not (another
// file system, an old kernel, a special file) a read/write loop does the same. POSIX only.

#include <cstdint>

namespace pagemint {

// Copies `count` bytes starting at `offset` of `from` to the current position of `to`, which
// advances. Returns how many bytes were copied: fewer than `count` only when `from` ended first.
// -1 with errno on a read or write error.
std::int64_t copyBytes(int from, std::uint64_t offset, int to, std::uint64_t count);

} // namespace pagemint
