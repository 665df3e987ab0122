#include "contract/PageReference.h"

#include "contract/ConverterContract.h"
#include "contract/Descriptor.h"
#include "contract/StagedPages.h"

#include "contract/Reasons.h"
#include "contract/SystemReason.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <iterator>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace pagemint {

namespace {
constexpr std::string_view kFirstLine = "pagemint-page-reference 1\n";

template <typename Number> bool takeNumber(std::string_view &text, char after, Number &number)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end == text.data() + text.size() || *end != after)
        return false;
    text.remove_prefix(std::size_t(end - text.data()) + 1);
    return true;
}

// One record from the front of `rest`, which moves past it; none when it is out of form.
std::optional<ListedReference> takeRecord(std::string_view &rest)
{
    const auto space = rest.find(' ');
    if (space == std::string_view::npos || !isStagedPageName(rest.substr(0, space)))
        return std::nullopt;
    std::string_view after = rest.substr(space + 1);
    std::size_t length = 0;
    if (!takeNumber(after, '\n', length) || length > kLargestPageReference || after.size() <= length ||
        after[length] != '\n')
        return std::nullopt;
    ListedReference entry{std::string(rest.substr(0, space)), parsePageReference(after.substr(0, length))};
    rest = after.substr(length + 1);
    return entry;
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

bool keepsFileIdentity(long fileSystemType)
{
    constexpr long kFuse = 0x65735546; // FUSE_SUPER_MAGIC
    return fileSystemType != kFuse;
}

std::string pageReferenceText(const PageReference &reference)
{
    const FileIdentity &id = reference.identity;
    // Each number in its own type: an inode number may use all 64 bits.
    return std::string(kFirstLine) + std::to_string(id.device) + ' ' + std::to_string(id.inode) + ' ' +
           std::to_string(id.size) + ' ' + std::to_string(id.modifiedSeconds) + ' ' +
           std::to_string(id.modifiedNanoseconds) + ' ' + std::to_string(id.changedSeconds) + ' ' +
           std::to_string(id.changedNanoseconds) + '\n' + reference.picture.native();
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

bool appendPageReference(const fs::path &folder, std::string_view pageName, const PageReference &reference,
                         std::error_code &error)
{
    const std::string text = pageReferenceText(reference);
    const std::string record = std::string(pageName) + ' ' + std::to_string(text.size()) + '\n' + text + '\n';
    const fs::path file = folder / kPageReferencesName;
    const Descriptor out(::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600));
    int reason = out.valid() ? 0 : errno;
    for (std::size_t done = 0; reason == 0 && done < record.size();) {
        const ssize_t n = ::write(out.get(), record.data() + done, record.size() - done);
        if (n < 0 && errno != EINTR)
            reason = errno;
        else if (n > 0)
            done += std::size_t(n);
    }
    error.assign(reason, std::generic_category());
    return reason == 0;
}

std::vector<ListedReference> listedPageReferences(const fs::path &folder, std::string &problem)
{
    std::vector<ListedReference> listed;
    std::ifstream in(folder / kPageReferencesName, std::ios::binary);
    if (!in)
        return listed; // none staged
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        problem = std::string(kPageReferencesName) + ": cannot be read";
        return listed;
    }
    std::string_view rest = all;
    while (!rest.empty()) {
        std::optional<ListedReference> entry = takeRecord(rest);
        if (!entry) {
            problem = std::string(kPageReferencesName) + ": out of form after record " + std::to_string(listed.size());
            break;
        }
        listed.push_back(std::move(*entry));
    }
    return listed;
}

std::vector<StagedPage> stagedPagesWithReferences(const fs::path &folder, std::error_code &error, std::string &problem)
{
    std::vector<StagedPage> pages;
    for (fs::path &file : stagedPages(folder, error))
        pages.push_back({std::move(file), false, std::nullopt});
    if (error)
        return pages;
    std::set<std::string> files;
    for (const StagedPage &page : pages)
        files.insert(page.path.filename().string());
    for (ListedReference &entry : listedPageReferences(folder, problem)) {
        if (files.contains(entry.page)) {
            problem += (problem.empty() ? "" : "; ") + entry.page + ": listed and staged as a file; the file is taken";
            continue;
        }
        pages.push_back({folder / entry.page, true, std::move(entry.reference)});
    }
    std::stable_sort(pages.begin(), pages.end(), [](const StagedPage &a, const StagedPage &b) {
        return stagedPageBefore(a.path.filename().string(), b.path.filename().string());
    });
    return pages;
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

} // namespace pagemint
