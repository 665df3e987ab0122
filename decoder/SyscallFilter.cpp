#include "SyscallFilter.h"

#include <seccomp.h>

#include <sched.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace pagemint::decoder {

namespace {
// A deny list over an allowing default: the helpers run FreeImage with its codec libraries, or Qt's
// image plug-ins, whose harmless system calls change with every library and C library release
// (rseq, getrandom, madvise, futex variants ...). An allow list would turn such an update into
// lost pictures; the harmful acts are few and named here, and Landlock checks file access by
// object rather than by call number. Names this libseccomp does not know are skipped (the
// filter matches numbers, so an unknown name cannot be refused).
// The list keeps its layout (grouped by kind, several names a line) against clang-format.
// clang-format off
constexpr const char *kDenied[] = {
    // Files by name, and ways to reach a file without one.
    "open", "openat", "openat2", "creat", "open_by_handle_at", "name_to_handle_at", "uselib",
    "mkdir", "mkdirat", "mknod", "mknodat", "rmdir", "unlink", "unlinkat", "rename", "renameat",
    "renameat2", "link", "linkat", "symlink", "symlinkat", "truncate", "chmod", "fchmod",
    "fchmodat", "fchmodat2", "chown", "fchown", "lchown", "fchownat", "utime", "utimes",
    "futimesat", "utimensat", "setxattr", "lsetxattr", "fsetxattr", "removexattr",
    "lremovexattr", "fremovexattr",
    // Network.
    "socket", "socketpair", "connect", "bind", "listen", "accept", "accept4",
    // Programs and processes; clone and clone3 are below, threads must still start.
    "execve", "execveat", "fork", "vfork",
    // Reaching into other processes.
    "ptrace", "process_vm_readv", "process_vm_writev", "process_madvise", "kcmp", "pidfd_open",
    "pidfd_getfd", "pidfd_send_signal",
    // Calls that act outside this filter's view (io_uring runs opens and sockets for the caller)
    // or help exploits, and what only root may do: the tests and some users run as root.
    "io_uring_setup", "io_uring_enter", "io_uring_register", "userfaultfd", "bpf",
    "perf_event_open", "keyctl", "add_key", "request_key", "unshare", "setns", "mount",
    "umount2", "pivot_root", "chroot", "fsopen", "fsconfig", "fsmount", "fspick", "move_mount",
    "open_tree", "mount_setattr", "fanotify_init", "init_module", "finit_module",
    "delete_module", "kexec_load", "kexec_file_load", "reboot", "swapon", "swapoff", "acct",
    "quotactl", "settimeofday", "clock_settime", "sethostname", "setdomainname", "iopl", "ioperm",
};
// clang-format on

// Calls whose first argument names the target process: allowed only on this process, so that
// abort() (tgkill on itself) still ends it by SIGABRT.
constexpr const char *kSignalCalls[] = {"kill", "tkill", "tgkill", "rt_sigqueueinfo", "rt_tgsigqueueinfo"};

// clone takes its flags first everywhere but on s390.
#if defined(__s390__) || defined(__s390x__)
constexpr unsigned kCloneFlagsArgument = 1;
#else
constexpr unsigned kCloneFlagsArgument = 0;
#endif

using Filter = std::unique_ptr<void, decltype(&seccomp_release)>;

std::string libseccompError(const char *what, int rc)
{
    return std::string("seccomp ") + what + ": " + std::strerror(-rc);
}

struct Rule {
    const char *name;
    std::vector<scmp_arg_cmp> when; // all must hold
    int error = EPERM;
};

std::vector<Rule> conditionalRules()
{
    std::vector<Rule> rules;
    const auto self = static_cast<std::uint64_t>(getpid());
    for (const char *name : kSignalCalls)
        rules.push_back({name, {SCMP_A0_64(SCMP_CMP_NE, self)}});
    // glibc passes 0 for its own limits; another pid would set a sibling's.
    rules.push_back({"prlimit64", {SCMP_A0_64(SCMP_CMP_NE, 0)}});
    // A thread shares this process and its filter; anything else is a new process. clone3 passes
    // its flags in memory a filter cannot read: ENOSYS makes glibc fall back to clone.
    rules.push_back({"clone", {SCMP_CMP64(kCloneFlagsArgument, SCMP_CMP_MASKED_EQ, CLONE_THREAD, 0)}});
    rules.push_back({"clone3", {}, ENOSYS});
    // Typing into a terminal the helper's stderr may be: the shell would run it. The kernel reads
    // the request as 32 bits, so the upper half is masked off.
    for (const unsigned long request : {TIOCSTI, TIOCLINUX})
        rules.push_back({"ioctl", {SCMP_A1_64(SCMP_CMP_MASKED_EQ, 0xffffffffU, request)}});
    return rules;
}

// 0 or libseccomp's negative error.
int add(scmp_filter_ctx filter, const Rule &rule)
{
    const int call = seccomp_syscall_resolve_name(rule.name);
    if (call == __NR_SCMP_ERROR)
        return 0;
    return seccomp_rule_add_array(filter, SCMP_ACT_ERRNO(rule.error), call, static_cast<unsigned>(rule.when.size()),
                                  rule.when.data());
}

int addRules(scmp_filter_ctx filter)
{
    for (const char *name : kDenied)
        if (const int rc = add(filter, {name, {}}); rc != 0)
            return rc;
    for (const Rule &rule : conditionalRules())
        if (const int rc = add(filter, rule); rc != 0)
            return rc;
    return 0;
}
} // namespace

bool installSyscallFilter(std::string &failure)
{
    Filter filter(seccomp_init(SCMP_ACT_ALLOW), &seccomp_release);
    if (!filter) {
        failure = "seccomp: cannot create a filter";
        return false;
    }
    // A call made through another architecture's entry (int 0x80 on x86-64) would miss every rule.
    if (const int rc = seccomp_attr_set(filter.get(), SCMP_FLTATR_ACT_BADARCH, SCMP_ACT_KILL_PROCESS); rc != 0) {
        failure = libseccompError("bad-architecture action", rc);
        return false;
    }
    // Threads started before this call (a plug-in's) are bound too, or loading fails.
    if (const int rc = seccomp_attr_set(filter.get(), SCMP_FLTATR_CTL_TSYNC, 1); rc != 0) {
        failure = libseccompError("thread sync", rc);
        return false;
    }
    if (const int rc = addRules(filter.get()); rc != 0) {
        failure = libseccompError("rule", rc);
        return false;
    }
    if (const int rc = seccomp_load(filter.get()); rc != 0) {
        failure = libseccompError("load", rc);
        return false;
    }
    return true;
}

} // namespace pagemint::decoder
