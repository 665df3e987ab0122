#include "Sandbox.h"

#ifdef __linux__
#include "LandlockDomain.h"
#include "SyscallFilter.h"

#include <sys/prctl.h>

#include <cerrno>
#include <cstring>
#endif

namespace pagemint::decoder {

#ifdef __linux__
bool enterSandbox(std::string &failure)
{
    // Required by both layers for an unprivileged process, and keeps a set-id program from
    // gaining rights should one ever be started.
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) {
        failure = std::string("no_new_privs: ") + std::strerror(errno);
        return false;
    }
    // A kernel without Landlock is no failure: the filter alone still refuses every opening.
    int landlockAbi = 0;
    if (!enterLandlockDomain(landlockAbi, failure))
        return false;
    return installSyscallFilter(failure);
}
#else
// No confinement is written for other systems yet. The helper's process boundary, memory cap and
// time limit still contain a crash or a hang there; refusing would lose every non-JPEG picture.
bool enterSandbox(std::string &)
{
    return true;
}
#endif

} // namespace pagemint::decoder
