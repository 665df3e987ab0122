#pragma once
// The confinement a helper enters before it reads a hostile picture: from then on it can only use
// the descriptors it already holds (picture on stdin, page on stdout, reason on stderr).

#ifdef __linux__
#include "sandbox/SyscallFilter.h"
#endif

#include <functional>
#include <string>

namespace pagemint::sandbox {

// How a helper shuts itself in before it reads the picture: false, with the reason, if it cannot.
using SandboxEntry = std::function<bool(std::string &failure)>;

// Entered in two steps, so that the decoder's fork server takes the costly one once and each child
// forked from it only the step that names the child. A helper program takes both (enterSandbox).
class Sandbox {
public:
    // Closes every descriptor but stdin, stdout and stderr, then: no new privileges, a Landlock
    // domain without file rights, and the system-call filter shared by every decoder process.
    // Afterwards the process cannot open, create, rename or delete files, make sockets, start
    // programs, trace other processes or change their priority; it can still read, write and
    // seek its three streams, allocate, fork, signal and start threads. Call once libraries and
    // plug-ins are loaded (they open files as they load) and while the process has one thread
    // (Landlock binds only the calling thread and its later threads). Returns false with the
    // reason if the filter could not be loaded, or Landlock failed on a kernel that has it. A
    // kernel without Landlock is not a failure.
    bool enterShared(std::string &failure);

    // In this process, or one forked from it after enterShared: no more forking (threads still
    // start), signals only to itself, so that abort() still ends it by SIGABRT, and resource
    // limits fixed as they are (read, never set).
    bool enterProcess(std::string &failure) const;

private:
#ifdef __linux__
    ProcessFilter processFilter_;
#endif
};

// Both steps, for a helper program. A helper that returns false must refuse to decode.
bool enterSandbox(std::string &failure);

// For a fork server: takes the shared step now, in the server, and returns the step each child
// takes. If the shared step failed, every child refuses with its reason.
SandboxEntry enterServerSandbox();

} // namespace pagemint::sandbox
