#include "cli/RunFolderSweep.h"

#include "cli/CommandLineLog.h"
#include "cli/RunFolder.h"
#include "contract/Descriptor.h"
#include "contract/FolderRemovalApart.h"
#include "contract/FolderTree.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace pagemint {

namespace {
constexpr std::size_t kMkdtempLetters = 6;

bool isLetterOrDigit(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The descriptor of `folder`'s lock, taken, when no run owns the folder: a real folder of this
// user's holding a plain lock file that nobody holds; else -1. Never waits: neither for a held lock
// nor on a FIFO in the lock file's place.
int lockIfOwnerless(const fs::path &folder)
{
    const Descriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (!directory.valid() || ::fstat(directory.get(), &status) != 0 || status.st_uid != ::geteuid())
        return -1;
    Descriptor lock(::openat(directory.get(), std::string(kRunFolderLockName).c_str(),
                             O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!lock.valid() || ::fstat(lock.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        ::flock(lock.get(), LOCK_EX | LOCK_NB) != 0)
        return -1;
    return lock.release();
}
} // namespace

void removeRunFolder(const fs::path &folder, const QDeadlineTimer &deadline)
{
    const bool gone = removeFolderTree(folder, {[&deadline] { return !deadline.hasExpired(); },
                                                [](const fs::path &entry, const std::error_code &error) {
                                                    qCWarning(lcCommandLine, "%s not removed: %s", entry.c_str(),
                                                              error.message().c_str());
                                                }});
    if (!gone && deadline.hasExpired() && !removeFolderTreeApart(folder))
        qCWarning(lcCommandLine, "%s not removed: %s", folder.c_str(), std::strerror(errno));
}

bool isRunFolderName(std::string_view name)
{
    return name.size() == kRunFolderPrefix.size() + kMkdtempLetters && name.starts_with(kRunFolderPrefix) &&
           std::all_of(name.begin() + kRunFolderPrefix.size(), name.end(), isLetterOrDigit);
}

void removeDeadRunFolders(const fs::path &cache, const QDeadlineTimer &deadline)
{
    // Listed first, removed after: the listing does not meet folders changing under it.
    std::vector<fs::path> candidates;
    std::error_code error;
    for (fs::directory_iterator it(cache, error), end; !error && it != end; it.increment(error))
        if (isRunFolderName(it->path().filename().native()))
            candidates.push_back(it->path());
    for (const fs::path &folder : candidates) {
        // Held while the folder goes, so another run's sweep leaves it to this one.
        const Descriptor lock(lockIfOwnerless(folder));
        if (lock.valid())
            removeRunFolder(folder, deadline);
    }
}

} // namespace pagemint
