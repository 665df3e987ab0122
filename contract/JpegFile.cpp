// A file is inspected through pread at the offsets the walk asks for (inspectJpegPieces): a few
// small reads cost less than mapping each file, faulting its pages in and unmapping it again, and
// the segments the page has no use for are never read at all.
#include "contract/JpegInfo.h"
#include "contract/Reasons.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pagemint {

#ifndef _WIN32
bool inspectJpegDescriptor(int fd, JpegInfo &info, std::string &reason)
{
    info = JpegInfo{};
    const ReadAt read = [fd](std::uint64_t offset, std::span<unsigned char> into, std::string &why) {
        for (std::size_t done = 0; done < into.size();) {
            const ssize_t n = ::pread(fd, into.data() + done, into.size() - done, off_t(offset + done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                why = n < 0 ? reason::inBrackets(reason::kCannotRead, std::strerror(errno))
                            : std::string(reason::kChangedWhileRead);
                return false;
            }
            done += std::size_t(n);
        }
        return true;
    };
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        reason = reason::kNotAFile;
        return false;
    }
    return inspectJpegPieces(read, std::uintmax_t(st.st_size), info, reason);
}

bool inspectJpegFile(const std::filesystem::path &path, JpegInfo &info, std::string &reason)
{
    info = JpegInfo{};
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        reason = reason::inBrackets(reason::kCannotRead, std::strerror(errno));
        return false;
    }
    const bool ok = inspectJpegDescriptor(fd, info, reason);
    ::close(fd);
    return ok;
}
#else
bool inspectJpegFile(const std::filesystem::path &path, JpegInfo &info, std::string &reason)
{
    info = JpegInfo{};
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    std::ifstream in(path, std::ios::binary);
    if (error || !in) {
        reason = reason::kCannotRead;
        return false;
    }
    const ReadAt read = [&in](std::uint64_t offset, std::span<unsigned char> into, std::string &why) {
        in.seekg(std::streamoff(offset));
        if (in.read(reinterpret_cast<char *>(into.data()), std::streamsize(into.size())))
            return true;
        why = reason::kCannotRead;
        return false;
    };
    return inspectJpegPieces(read, size, info, reason);
}
#endif

} // namespace pagemint
