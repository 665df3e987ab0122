#include "FileBytes.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace pagemint::decoder {

std::vector<unsigned char> bytesAt(int fd, std::uint64_t offset, std::size_t count)
{
    std::vector<unsigned char> bytes(count);
    std::size_t got = 0;
    while (got < count) {
        const ssize_t read = ::pread(fd, bytes.data() + got, count - got, static_cast<off_t>(offset + got));
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0)
            return {};
        if (read == 0)
            break;
        got += static_cast<std::size_t>(read);
    }
    bytes.resize(got);
    return bytes;
}

std::uint64_t fileSize(int fd)
{
    struct stat status {};
    return ::fstat(fd, &status) == 0 && status.st_size > 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
}

} // namespace pagemint::decoder
