#include "sandbox/SyscallFilter.h"

#include <seccomp.h>

#include <linux/seccomp.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace pagemint::sandbox {

namespace {
// A deny list over an allowing default: the helpers run FreeImage with its codec libraries, or Qt's
// image plug-ins, whose harmless system calls change with every library and C library release
// (rseq, getrandom, madvise, futex variants ...). An allow list would turn such an update into
// lost pictures; the harmful acts are few and named here, and Landlock checks file access by
// object rather than by call number.
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
    // Programs and processes; clone is in the process filter, threads must still start.
    "execve", "execveat", "fork", "vfork",
    // Reaching into other processes.
    "ptrace", "process_vm_readv", "process_vm_writev", "process_madvise", "kcmp", "pidfd_open",
    "pidfd_getfd", "pidfd_send_signal",
    // Priorities reach past the process: PRIO_USER renices every process of the user.
    "setpriority", "ioprio_set",
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

// Calls whose first argument names the target process: in the process filter, allowed only on
// that process, so that abort() (tgkill on itself) still ends it by SIGABRT. The fork server's
// shared filter lets them through: it kills the children still running when it ends.
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

std::vector<Rule> sharedRules()
{
    std::vector<Rule> rules;
    for (const char *name : kDenied)
        rules.push_back({name, {}});
    // glibc passes 0 for its own limits; another pid would set a sibling's.
    rules.push_back({"prlimit64", {SCMP_A0_64(SCMP_CMP_NE, 0)}});
    // A process cleared of its parent-death signal would outlive the program. Setting SIGKILL
    // stays: the fork server and its children do it themselves. The option is an int.
    rules.push_back(
        {"prctl", {SCMP_A0_64(SCMP_CMP_MASKED_EQ, 0xffffffffU, PR_SET_PDEATHSIG), SCMP_A1_64(SCMP_CMP_NE, SIGKILL)}});
    // clone3 passes its flags in memory a filter cannot read, so the process filter could not tell
    // a thread from a process: ENOSYS makes glibc fall back to clone.
    rules.push_back({"clone3", {}, ENOSYS});
    // Typing into a terminal the helper's stderr may be: the shell would run it. The kernel reads
    // the request as 32 bits, so the upper half is masked off.
    for (const unsigned long request : {TIOCSTI, TIOCLINUX})
        rules.push_back({"ioctl", {SCMP_A1_64(SCMP_CMP_MASKED_EQ, 0xffffffffU, request)}});
    return rules;
}

std::vector<Rule> processRules(std::uint64_t self)
{
    std::vector<Rule> rules;
    for (const char *name : kSignalCalls)
        rules.push_back({name, {SCMP_A0_64(SCMP_CMP_NE, self)}});
    // A thread shares this process and its filters; anything else is a new process.
    rules.push_back({"clone", {SCMP_CMP64(kCloneFlagsArgument, SCMP_CMP_MASKED_EQ, CLONE_THREAD, 0)}});
    // The caller set the limits (memory cap, no core file) before this filter; where the process
    // has the capability it could raise them again. Reading them stays.
    rules.push_back({"setrlimit", {}});
    rules.push_back({"prlimit64", {SCMP_A2_64(SCMP_CMP_NE, 0)}});
    return rules;
}

// A filter that allows what no rule names and kills a process calling through another
// architecture's entry (int 0x80 on x86-64), which would miss every rule. Empty on failure.
Filter newFilter(const std::vector<Rule> &rules, std::string &failure)
{
    Filter filter(seccomp_init(SCMP_ACT_ALLOW), &seccomp_release);
    if (!filter) {
        failure = "seccomp: cannot create a filter";
        return filter;
    }
    if (const int rc = seccomp_attr_set(filter.get(), SCMP_FLTATR_ACT_BADARCH, SCMP_ACT_KILL_PROCESS); rc != 0) {
        failure = libseccompError("bad-architecture action", rc);
        filter.reset();
        return filter;
    }
    for (const Rule &rule : rules) {
        // Names this libseccomp does not know are skipped: the filter matches numbers.
        const int call = seccomp_syscall_resolve_name(rule.name);
        if (call == __NR_SCMP_ERROR)
            continue;
        const int rc = seccomp_rule_add_array(filter.get(), SCMP_ACT_ERRNO(rule.error), call,
                                              static_cast<unsigned>(rule.when.size()), rule.when.data());
        if (rc != 0) {
            failure = libseccompError("rule", rc);
            filter.reset();
            return filter;
        }
    }
    return filter;
}

// The filter's BPF program as libseccomp would load it.
bool exportProgram(const std::vector<Rule> &rules, std::vector<sock_filter> &program, std::string &failure)
{
    const Filter filter = newFilter(rules, failure);
    if (!filter)
        return false;
    const int file = memfd_create("pagemint-filter", MFD_CLOEXEC);
    if (file < 0) {
        failure = std::string("seccomp export: ") + std::strerror(errno);
        return false;
    }
    struct stat info {};
    bool exported = false;
    if (const int rc = seccomp_export_bpf(filter.get(), file); rc != 0) {
        failure = libseccompError("export", rc);
    } else if (fstat(file, &info) != 0 || info.st_size <= 0 || info.st_size % sizeof(sock_filter) != 0) {
        failure = "seccomp export: no program";
    } else {
        program.resize(static_cast<std::size_t>(info.st_size) / sizeof(sock_filter));
        const auto size = static_cast<ssize_t>(info.st_size);
        exported = pread(file, program.data(), static_cast<std::size_t>(size), 0) == size;
        if (!exported)
            failure = "seccomp export: short read";
    }
    close(file);
    return exported;
}
} // namespace

bool installSharedFilter(std::string &failure)
{
    const Filter filter = newFilter(sharedRules(), failure);
    if (!filter)
        return false;
    // Threads started before this call (a plug-in's) are bound too, or loading fails.
    if (const int rc = seccomp_attr_set(filter.get(), SCMP_FLTATR_CTL_TSYNC, 1); rc != 0) {
        failure = libseccompError("thread sync", rc);
        return false;
    }
    if (const int rc = seccomp_load(filter.get()); rc != 0) {
        failure = libseccompError("load", rc);
        return false;
    }
    return true;
}

bool ProcessFilter::build(std::string &failure)
{
    // libseccomp takes the pid as a value of the rules. Built with two stand-ins beyond any pid, the
    // instructions that differ are the ones each process fills with its own; anything else that
    // differs means the program is not what this code expects, and nothing is loaded.
    constexpr std::uint32_t kStandIns[] = {0x7fff0001U, 0x7fff0002U};
    std::vector<sock_filter> programs[2];
    for (int i = 0; i < 2; ++i)
        if (!exportProgram(processRules(kStandIns[i]), programs[i], failure))
            return false;
    pidWords_.clear();
    bool matches = programs[0].size() == programs[1].size();
    for (std::size_t i = 0; matches && i < programs[0].size(); ++i) {
        const sock_filter &first = programs[0][i];
        const sock_filter &second = programs[1][i];
        matches = first.code == second.code && first.jt == second.jt && first.jf == second.jf;
        if (first.k != second.k) {
            matches = matches && first.k == kStandIns[0] && second.k == kStandIns[1];
            pidWords_.push_back(i);
        }
    }
    if (!matches || pidWords_.empty()) {
        failure = "seccomp: cannot find where the process filter names the process";
        return false;
    }
    program_ = std::move(programs[0]);
    return true;
}

bool ProcessFilter::install(std::string &failure) const
{
    if (program_.empty()) {
        failure = "seccomp: the process filter was not built";
        return false;
    }
    std::vector<sock_filter> program = program_;
    for (const std::size_t word : pidWords_)
        program[word].k = static_cast<std::uint32_t>(getpid());
    const sock_fprog loaded{static_cast<unsigned short>(program.size()), program.data()};
    // As in the shared filter, threads started before this call are bound too.
    const long rc = syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, SECCOMP_FILTER_FLAG_TSYNC, &loaded);
    if (rc == 0)
        return true;
    failure = rc > 0 ? "seccomp load: thread " + std::to_string(rc) + " cannot take the filter"
                     : std::string("seccomp load: ") + std::strerror(errno);
    return false;
}

} // namespace pagemint::sandbox
