#include "KernelCopy.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace pagemint {

namespace {

#ifdef __linux__
// The errors with which the kernel declines to copy for us, rather than failing to copy.
bool kernelDeclines(int error)
{
    switch (error) {
    case EXDEV:      // another file system
    case EINVAL:     // a file system or file kind without support
    case ENOSYS:     // an old kernel
    case EOPNOTSUPP: // (ENOTSUP is the same value on Linux)
    case EBADF:      // an output opened for appending
    case ETXTBSY:
    case EPERM: // some FUSE and network file systems
        return true;
    default:
        return false;
    }
}
#endif

bool writeAll(int to, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(to, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

std::int64_t readWriteLoop(int from, std::uint64_t offset, int to, std::uint64_t count, std::uint64_t done)
{
    static char buffer[256 * 1024];
    while (done < count) {
        const ssize_t n =
            ::pread(from, buffer, std::min<std::uint64_t>(sizeof buffer, count - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        if (!writeAll(to, buffer, std::size_t(n)))
            return -1;
        done += std::uint64_t(n);
    }
    return std::int64_t(done);
}

} // namespace

std::int64_t copyBytes(int from, std::uint64_t offset, int to, std::uint64_t count)
{
    std::uint64_t done = 0;
#ifdef __linux__
    loff_t in = loff_t(offset);
    while (done < count) {
        const ssize_t n = ::copy_file_range(from, &in, to, nullptr, std::min<std::uint64_t>(count - done, 1u << 30), 0);
        if (n > 0) {
            done += std::uint64_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && !kernelDeclines(errno))
            return -1;
        // Declined, or 0 before the end: some file systems report 0 for data they do hold, so the
        // loop below, reading, tells a real end from that.
        break;
    }
#endif
    return readWriteLoop(from, offset, to, count, done);
}

} // namespace pagemint
