#include "sandbox/LandlockDomain.h"

#include <linux/landlock.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace pagemint::sandbox {

namespace {
// The kernel's ABI, spelled out here: the distribution's headers may predate the running kernel,
// and the struct may only grow (a kernel reads the fields it knows and wants the rest zero).
struct RulesetAttr {
    std::uint64_t handledAccessFs = 0;
    std::uint64_t handledAccessNet = 0;
    std::uint64_t scoped = 0;
};

struct RightsSince {
    int abi;
    std::uint64_t RulesetAttr::*field;
    std::uint64_t rights;
};

// Every right with the first ABI version that knows it; a kernel refuses a ruleset naming a right
// it does not know, so each is handled only when the kernel's version reaches it.
constexpr RightsSince kRights[] = {
    {1, &RulesetAttr::handledAccessFs, (std::uint64_t{1} << 13) - 1}, // execute .. make symlink
    {2, &RulesetAttr::handledAccessFs, std::uint64_t{1} << 13},       // refer (link/rename across)
    {3, &RulesetAttr::handledAccessFs, std::uint64_t{1} << 14},       // truncate
    {4, &RulesetAttr::handledAccessNet, 0b11},                        // TCP bind, TCP connect
    {5, &RulesetAttr::handledAccessFs, std::uint64_t{1} << 15},       // ioctl on devices
    {6, &RulesetAttr::scoped, 0b11},                                  // abstract sockets, signals
};

std::string systemError(const char *what)
{
    return std::string(what) + ": " + std::strerror(errno);
}
} // namespace

bool enterLandlockDomain(int &abi, std::string &failure)
{
    const long version = syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    if (version < 0) {
        abi = 0;
        // ENOSYS: not built into the kernel; EOPNOTSUPP: built in but not enabled at boot.
        if (errno == ENOSYS || errno == EOPNOTSUPP)
            return true;
        failure = systemError("Landlock version");
        return false;
    }
    abi = static_cast<int>(version);

    RulesetAttr attr;
    for (const RightsSince &entry : kRights)
        if (abi >= entry.abi)
            attr.*entry.field |= entry.rights;

    // No rule is added: whatever the ruleset handles is refused everywhere.
    const long ruleset = syscall(SYS_landlock_create_ruleset, &attr, sizeof attr, 0U);
    if (ruleset < 0) {
        failure = systemError("Landlock ruleset");
        return false;
    }
    const long restricted = syscall(SYS_landlock_restrict_self, static_cast<int>(ruleset), 0U);
    const int restrictError = errno;
    close(static_cast<int>(ruleset));
    if (restricted != 0) {
        errno = restrictError;
        failure = systemError("Landlock restrict");
        return false;
    }
    return true;
}

} // namespace pagemint::sandbox
