#include "conversion/FileCopy.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pagemint {

namespace {

// Some milliseconds of copying: between two pieces the window handles what the user did.
constexpr std::size_t kPieceBytes = std::size_t{8} << 20;

// Copies `in`, `size` bytes long when the copy began, to `out` in the kernel: copy_file_range, or
// sendfile where the two file systems do not allow it. Returns 0 or the reason it stopped.
int copyPieces(int in, int out, off_t size, const BetweenPieces &betweenPieces)
{
    bool range = true;
    off_t done = 0;
    for (;;) {
        // Only between pieces: a file of one piece is copied without a pause.
        if (done > 0 && done < size && betweenPieces && !betweenPieces())
            return ECANCELED;
        const ssize_t copied = range ? ::copy_file_range(in, nullptr, out, nullptr, kPieceBytes, 0)
                                     : ::sendfile(out, in, nullptr, kPieceBytes);
        if (copied < 0 && errno == EINTR)
            continue;
        if (copied < 0 && range && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
            range = false;
            continue;
        }
        if (copied < 0)
            return errno;
        if (copied == 0)
            return 0;
        done += copied;
    }
}

int copyInto(int in, const std::filesystem::path &to, const BetweenPieces &betweenPieces)
{
    struct stat source {};
    if (::fstat(in, &source) != 0)
        return errno;
    const mode_t permissions = source.st_mode & 07777;
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, permissions);
    if (out < 0)
        return errno;
    int reason = copyPieces(in, out, source.st_size, betweenPieces);
    // As std::filesystem::copy_file does: the bits of the source, whatever the umask took away.
    if (reason == 0 && ::fchmod(out, permissions) != 0)
        reason = errno;
    // A file system that writes late reports its failure here.
    if (::close(out) != 0 && reason == 0)
        reason = errno;
    return reason;
}

} // namespace

bool copyFileInPieces(const std::filesystem::path &from, const std::filesystem::path &to,
                      const BetweenPieces &betweenPieces, std::error_code &error)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    const int reason = in < 0 ? errno : copyInto(in, to, betweenPieces);
    if (in >= 0)
        ::close(in);
    error.assign(reason, std::generic_category());
    return reason == 0;
}

bool renameWithoutReplacing(const std::filesystem::path &from, const std::filesystem::path &to, std::error_code &error)
{
    int reason = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0 ? 0 : errno;
    // File systems that cannot rename so (some network and FUSE ones) can mostly make a second link,
    // which also fails on a name that is taken.
    if (reason == EINVAL || reason == ENOSYS || reason == EOPNOTSUPP) {
        reason = ::link(from.c_str(), to.c_str()) == 0 ? 0 : errno;
        if (reason == 0 && ::unlink(from.c_str()) != 0)
            reason = errno;
    }
    error.assign(reason, std::generic_category());
    return reason == 0;
}

} // namespace pagemint
