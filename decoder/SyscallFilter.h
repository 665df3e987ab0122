#pragma once
// seccomp: the system-call half of the sandbox. It holds on its own where the kernel has no
// Landlock, and covers what Landlock does not (sockets, programs, other processes).

#include <string>

namespace pagemint::decoder {

// Loads, into every thread of the process, a filter that fails the dangerous calls with EPERM.
// Needs PR_SET_NO_NEW_PRIVS.
bool installSyscallFilter(std::string &failure);

} // namespace pagemint::decoder
