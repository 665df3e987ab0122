#pragma once
// Landlock: the file-system half of the sandbox, enforced by the kernel's own access checks
// rather than by system-call numbers, so a call the filter does not know still cannot reach a file.

#include <string>

namespace pagemint::sandbox {

// Restricts the calling thread (and threads and children it makes later) to no file access at
// all: every right the running kernel's Landlock ABI knows is handled and none is granted. Also
// denies TCP bind/connect and signals or abstract sockets outside the domain where the ABI has
// them. Needs PR_SET_NO_NEW_PRIVS. Sets `abi` to the kernel's Landlock ABI version, 0 when the
// kernel has no Landlock (then nothing is restricted and the call succeeds).
bool enterLandlockDomain(int &abi, std::string &failure);

} // namespace pagemint::sandbox
