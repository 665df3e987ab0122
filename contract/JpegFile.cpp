#include "contract/JpegFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#ifdef _WIN32
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pagemint {

namespace {
// Pieces grow fourfold while the search goes on, up to this.
constexpr std::size_t kLargestPiece = 1024 * 1024;

std::size_t grown(std::size_t piece)
{
    return std::min(piece * 4, kLargestPiece);
}
} // namespace

bool inspectJpegPieces(const ReadAt &read, std::uintmax_t size, JpegInfo &info, std::string &reason, PieceSizes sizes)
{
    // The header, read further while its markers run past what is at hand.
    std::vector<unsigned char> head;
    std::size_t scanStart = 0;
    for (std::size_t want = std::max<std::size_t>(sizes.head, 4);; want = grown(head.size()) + head.size()) {
        const std::size_t had = head.size();
        head.resize(std::size_t(std::min<std::uintmax_t>(size, want)));
        if (!read(had, std::span(head).subspan(had), reason))
            return false;
        const HeaderWalk walk = inspectJpegHeader(head, size, info, reason, scanStart);
        if (walk == HeaderWalk::Refused)
            return false;
        if (walk == HeaderWalk::Done)
            break;
    }
    if (head.size() == size) {
        if (holdsEndMarker(std::span(head).subspan(scanStart)))
            return true;
        reason = kNoEndMarker;
        return false;
    }

    // The end marker, searched from the back in pieces that overlap by a byte (a marker may
    // straddle two).
    std::vector<unsigned char> piece;
    std::uintmax_t end = size;
    for (std::size_t length = std::max<std::size_t>(sizes.tail, 2);; length = grown(length)) {
        const std::uintmax_t begin = std::max<std::uintmax_t>(scanStart, end - std::min<std::uintmax_t>(end, length));
        piece.resize(std::size_t(end - begin));
        if (!read(begin, piece, reason))
            return false;
        if (holdsEndMarker(piece))
            return true;
        if (begin == scanStart)
            break;
        end = begin + 1;
    }
    reason = kNoEndMarker;
    return false;
}

#ifndef _WIN32
bool inspectJpegFile(const std::filesystem::path &path, JpegInfo &info, std::string &reason)
{
    info = JpegInfo{};
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        reason = std::string("cannot open (") + std::strerror(errno) + ")";
        return false;
    }
    const ReadAt read = [fd](std::uint64_t offset, std::span<unsigned char> into, std::string &why) {
        for (std::size_t done = 0; done < into.size();) {
            const ssize_t n = ::pread(fd, into.data() + done, into.size() - done, off_t(offset + done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                why = n < 0 ? std::string("cannot read (") + std::strerror(errno) + ")" : "changed while being read";
                return false;
            }
            done += std::size_t(n);
        }
        return true;
    };
    struct stat st {};
    bool ok = false;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        reason = "not a regular file";
    else
        ok = inspectJpegPieces(read, std::uintmax_t(st.st_size), info, reason);
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
        reason = "cannot open";
        return false;
    }
    const ReadAt read = [&in](std::uint64_t offset, std::span<unsigned char> into, std::string &why) {
        in.seekg(std::streamoff(offset));
        if (in.read(reinterpret_cast<char *>(into.data()), std::streamsize(into.size())))
            return true;
        why = "cannot read";
        return false;
    };
    return inspectJpegPieces(read, size, info, reason);
}
#endif

} // namespace pagemint
