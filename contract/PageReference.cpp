#include "contract/PageReference.h"

#include "contract/Descriptor.h"

#include "contract/Reasons.h"
#include "contract/SystemReason.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace pagemint {

namespace {
constexpr std::string_view kFirstLine = "pagemint-page-reference 1\n";

// Reads from `offset` until `into` is full or the file ends; -1 on an error.
ssize_t readAt(int fd, char *into, std::size_t size, off_t offset)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, into + done, size - done, offset + off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += std::size_t(n);
    }
    return ssize_t(done);
}

template <typename Number> bool takeNumber(std::string_view &text, char after, Number &number)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end == text.data() + text.size() || *end != after)
        return false;
    text.remove_prefix(std::size_t(end - text.data()) + 1);
    return true;
}

std::string cannotRead(int error)
{
    return reason::inBrackets(reason::kCannotRead, systemReason(error));
}
} // namespace

FileIdentity identityOf(const struct stat &status)
{
    return {std::uint64_t(status.st_dev), std::uint64_t(status.st_ino), std::uint64_t(status.st_size),
            status.st_mtim.tv_sec,        status.st_mtim.tv_nsec,       status.st_ctim.tv_sec,
            status.st_ctim.tv_nsec};
}

std::string pageReferenceText(const PageReference &reference)
{
    const FileIdentity &id = reference.identity;
    std::string text(kFirstLine);
    for (const std::int64_t number :
         {std::int64_t(id.device), std::int64_t(id.inode), std::int64_t(id.size), id.modifiedSeconds,
          id.modifiedNanoseconds, id.changedSeconds, id.changedNanoseconds}) {
        if (text.size() > kFirstLine.size())
            text += ' ';
        text += std::to_string(number);
    }
    return text + '\n' + reference.picture.native();
}

std::optional<PageReference> parsePageReference(std::string_view text)
{
    if (text.size() > kLargestPageReference || !text.starts_with(kFirstLine))
        return std::nullopt;
    text.remove_prefix(kFirstLine.size());
    PageReference reference;
    FileIdentity &id = reference.identity;
    if (!takeNumber(text, ' ', id.device) || !takeNumber(text, ' ', id.inode) || !takeNumber(text, ' ', id.size) ||
        !takeNumber(text, ' ', id.modifiedSeconds) || !takeNumber(text, ' ', id.modifiedNanoseconds) ||
        !takeNumber(text, ' ', id.changedSeconds) || !takeNumber(text, '\n', id.changedNanoseconds))
        return std::nullopt;
    if (text.empty() || text.front() != '/' || text.find('\0') != std::string_view::npos)
        return std::nullopt;
    reference.picture = fs::path(std::string(text));
    return reference;
}

bool writePageReference(const fs::path &file, const PageReference &reference, std::error_code &error)
{
    fs::path partial = file;
    partial += ".part";
    const std::string text = pageReferenceText(reference);
    int reason = 0;
    {
        const Descriptor out(::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        if (out.get() < 0) {
            error.assign(errno, std::generic_category());
            return false;
        }
        for (std::size_t done = 0; done < text.size() && reason == 0;) {
            const ssize_t n = ::write(out.get(), text.data() + done, text.size() - done);
            if (n < 0 && errno != EINTR)
                reason = errno;
            else if (n > 0)
                done += std::size_t(n);
        }
    }
    if (reason == 0 && ::rename(partial.c_str(), file.c_str()) != 0)
        reason = errno;
    if (reason != 0) {
        ::unlink(partial.c_str());
        error.assign(reason, std::generic_category());
        return false;
    }
    error.clear();
    return true;
}

int openReferencedPicture(const PageReference &reference, std::string &reason)
{
    Descriptor picture(::open(reference.picture.c_str(), O_RDONLY | O_CLOEXEC));
    if (picture.get() < 0) {
        // Removed or moved away since the check: changed, as far as this job is concerned.
        reason = errno == ENOENT ? std::string(reason::kChangedSinceChecked) : cannotRead(errno);
        return -1;
    }
    struct stat status {};
    if (::fstat(picture.get(), &status) != 0) {
        reason = cannotRead(errno);
        return -1;
    }
    if (identityOf(status) != reference.identity) {
        reason = reason::kChangedSinceChecked;
        return -1;
    }
    return picture.release();
}

int openStagedPicture(const fs::path &page, std::string &reason, std::optional<PageReference> *reference)
{
    if (reference)
        reference->reset();
    Descriptor staged(::open(page.c_str(), O_RDONLY | O_CLOEXEC));
    if (staged.get() < 0) {
        reason = cannotRead(errno);
        return -1;
    }
    std::array<char, kFirstLine.size()> head{};
    const ssize_t got = readAt(staged.get(), head.data(), head.size(), 0);
    if (got < 0) {
        reason = cannotRead(errno);
        return -1;
    }
    if (std::string_view(head.data(), std::size_t(got)) != kFirstLine)
        return staged.release();
    std::string text(kLargestPageReference + 1, '\0');
    const ssize_t size = readAt(staged.get(), text.data(), text.size(), 0);
    if (size < 0) {
        reason = cannotRead(errno);
        return -1;
    }
    text.resize(std::size_t(size));
    std::optional<PageReference> read = parsePageReference(text);
    if (!read) {
        reason = reason::kCannotRead;
        return -1;
    }
    const int picture = openReferencedPicture(*read, reason);
    if (reference && picture >= 0)
        *reference = std::move(read);
    return picture;
}

} // namespace pagemint
