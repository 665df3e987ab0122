#include "OutputFile.h"

#include "KernelCopy.h"

#include <cerrno>
#include <unistd.h>

namespace pagemint {

namespace {
// Text is written once this much has gathered (a page's objects are a few hundred bytes).
constexpr std::size_t kFlushAt = 64 * 1024;
} // namespace

void OutputFile::write(std::string_view text)
{
    if (errno_ != 0)
        return;
    buffer_.append(text);
    if (buffer_.size() >= kFlushAt)
        flush();
}

bool OutputFile::flush()
{
    std::size_t done = 0;
    while (errno_ == 0 && done < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n > 0)
            done += std::size_t(n);
        else if (n < 0 && errno != EINTR)
            errno_ = errno;
        else if (n == 0)
            errno_ = EIO;
    }
    written_ += done;
    buffer_.erase(0, done);
    return errno_ == 0;
}

OutputFile::Copy OutputFile::copyFrom(int from, std::uint64_t size)
{
    if (!flush())
        return Copy::Failed;
    const std::int64_t copied = copyBytes(from, 0, fd_, size);
    if (copied < 0) {
        errno_ = errno;
        return Copy::Failed;
    }
    written_ += std::uint64_t(copied);
    if (std::uint64_t(copied) < size) {
        errno_ = EIO; // the output now misses bytes: nothing more may be written
        return Copy::SourceShort;
    }
    return Copy::Done;
}

} // namespace pagemint
