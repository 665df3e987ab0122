#include "contract/FolderRemovalApart.h"

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <string>
#include <vector>

#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace pagemint {

namespace {
// The removals started and not yet reaped: each is our child until it ends, and an ended child
// left unreaped would linger in the process table.
std::mutex removalsLock;
std::vector<pid_t> removals;

// Reaps the removals that have ended; true when none runs.
bool reapEnded()
{
    std::erase_if(removals, [](pid_t pid) {
        const pid_t reaped = ::waitpid(pid, nullptr, WNOHANG);
        return reaped == pid || (reaped < 0 && errno == ECHILD);
    });
    return removals.empty();
}

// Waits for `pid` to end until `deadline`, on a descriptor of the process (no polling); false when
// the time ran out first.
bool awaitEnd(pid_t pid, std::chrono::steady_clock::time_point deadline)
{
    const int descriptor = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (descriptor < 0)
        return errno == ESRCH;
    int ready = 0;
    do {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd entry{descriptor, POLLIN, 0};
        ready = ::poll(&entry, 1, static_cast<int>(std::clamp<long long>(left.count(), 0, 1 << 30)));
    } while (ready < 0 && errno == EINTR);
    ::close(descriptor);
    return ready > 0;
}
} // namespace

bool removeFolderTreeApart(const std::filesystem::path &root)
{
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    const std::string path = root.string();
    char program[] = "rm";
    char options[] = "-rf";
    char endOfOptions[] = "--";
    char *arguments[] = {program, options, endOfOptions, const_cast<char *>(path.c_str()), nullptr};
    pid_t pid = 0;
    const int error = ::posix_spawnp(&pid, "rm", nullptr, &attributes, arguments, environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        errno = error;
        return false;
    }
    const std::lock_guard hold(removalsLock);
    reapEnded();
    removals.push_back(pid);
    return true;
}

bool awaitFolderRemovalsApart(std::chrono::steady_clock::time_point deadline)
{
    const std::lock_guard hold(removalsLock);
    for (const pid_t pid : removals)
        if (!awaitEnd(pid, deadline))
            break;
    return reapEnded();
}

} // namespace pagemint
