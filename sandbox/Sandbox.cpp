#include "sandbox/Sandbox.h"

#ifdef __linux__
#include "sandbox/LandlockDomain.h"

#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace pagemint::sandbox {

#ifdef __linux__
bool Sandbox::enterShared(std::string &failure)
{
    // Whatever the process was started with beyond its three streams (the program's own files,
    // pipes and sockets, when its descriptors were not all marked close-on-exec) stays outside.
    if (::close_range(3, ~0U, 0) != 0) {
        failure = std::string("closing inherited descriptors: ") + std::strerror(errno);
        return false;
    }
    // Built before anything is shut: building writes the program through a memory file.
    if (!processFilter_.build(failure))
        return false;
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
    return installSharedFilter(failure);
}

bool Sandbox::enterProcess(std::string &failure) const
{
    return processFilter_.install(failure);
}
#else
// No confinement is written for other systems yet. The helper's process boundary, memory cap and
// time limit still contain a crash or a hang there; refusing would lose every non-JPEG picture.
bool Sandbox::enterShared(std::string &)
{
    return true;
}

bool Sandbox::enterProcess(std::string &) const
{
    return true;
}
#endif

bool enterSandbox(std::string &failure)
{
    Sandbox sandbox;
    return sandbox.enterShared(failure) && sandbox.enterProcess(failure);
}

SandboxEntry enterServerSandbox()
{
    Sandbox sandbox;
    std::string sharedFailure;
    const bool shut = sandbox.enterShared(sharedFailure);
    return [sandbox = std::move(sandbox), shut, sharedFailure](std::string &failure) {
        failure = sharedFailure;
        return shut && sandbox.enterProcess(failure);
    };
}

} // namespace pagemint::sandbox
