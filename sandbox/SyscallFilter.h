#pragma once
// seccomp: the system-call half of the sandbox. It holds on its own where the kernel has no
// Landlock, and covers what Landlock does not (sockets, programs, other processes).
// It comes as two filters: the shared one, which a fork server loads once and its children inherit,
// and the process one, whose rules name the process and so must be loaded by each child. The
// kernel checks and compiles a filter in time that grows with its length, which each child would
// otherwise pay for the whole list.

#include <linux/filter.h>

#include <cstddef>
#include <string>
#include <vector>

namespace pagemint::sandbox {

// Loads, into every thread of the process, the filter of calls no decoder process may make (files
// by name, sockets, programs, reaching into other processes ...); they fail with EPERM. The fork
// server's own calls (fork, signals to its children) pass. Needs PR_SET_NO_NEW_PRIVS.
bool installSharedFilter(std::string &failure);

// The rules that name the calling process: signals only to itself, so that abort() still ends it by
// SIGABRT, and no new process (threads still start); with them, the rules a fork server's child must
// take only after its own set-up (its resource limits stay as set). Built once with libseccomp, then
// loaded by each process with its own pid written in.
class ProcessFilter {
public:
    bool build(std::string &failure);
    // Loads the filter into every thread of the calling process. Needs PR_SET_NO_NEW_PRIVS.
    bool install(std::string &failure) const;

private:
    std::vector<sock_filter> program_;
    std::vector<std::size_t> pidWords_; // the instructions that compare with the process's pid
};

} // namespace pagemint::sandbox
