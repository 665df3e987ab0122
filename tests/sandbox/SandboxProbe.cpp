// pagemint-sandbox-probe [--serve] MODE FOLDER OTHER_PID INHERITED_FD
// Enters the helpers' sandbox (MODE "sandbox"), or Landlock alone ("landlock"), then tries each act
// a hostile picture must not achieve and prints "<act> <ok|errno name>" per line on stderr; last
// it copies stdin to stdout, as a helper does. FOLDER holds a file named "existing"; OTHER_PID is
// a process that is neither this one nor its parent; INHERITED_FD the write end of a pipe the
// process was started with, as a helper inherits the program's descriptors. MODE "abort" and "double-free" end the
// process inside the sandbox the way glibc does on heap corruption. With --serve it is the
// decoder's fork server (DecodeServer.h) and does all this in a child forked per request.

#include "DecodeServer.h"
#include "contract/DecoderServerProtocol.h"
#include "sandbox/LandlockDomain.h"
#include "sandbox/Sandbox.h"

#include <fcntl.h>
#include <linux/io_uring.h>
#include <linux/openat2.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

extern char **environ;

namespace {

struct Probe {
    std::string folder;
    pid_t other;
    int inherited;
    std::string path(const char *name) const { return folder + "/" + name; }
    std::string existing() const { return path("existing"); }
};

// 0 when the call worked (closing what it opened), else its errno.
int outcome(long rc)
{
    if (rc < 0)
        return errno;
    return 0;
}

int closed(long fd)
{
    if (fd < 0)
        return errno;
    close(static_cast<int>(fd));
    return 0;
}

int connectTcp()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return errno;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(9);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int result = outcome(connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address));
    close(fd);
    return result;
}

int forkChild()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    if (child < 0)
        return errno;
    waitpid(child, nullptr, 0);
    return 0;
}

int spawnTrue()
{
    char program[] = "/bin/true";
    char *arguments[] = {program, nullptr};
    pid_t child = 0;
    const int error = posix_spawn(&child, program, nullptr, nullptr, arguments, environ);
    if (error == 0)
        waitpid(child, nullptr, 0);
    return error;
}

int writeIntoOther(pid_t other)
{
    char byte = 0;
    iovec local{&byte, 1};
    iovec remote{nullptr, 1};
    return outcome(process_vm_writev(other, &local, 1, &remote, 1, 0));
}

// A uid no account has: if the call were let through it would find no process to renice (ESRCH).
constexpr id_t kUnusedUid = 0x7ffffff0;

// The other process's own priority, so that a call let through changes nothing.
int reniceOther(pid_t other)
{
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(other));
    if (errno != 0)
        return errno;
    return outcome(setpriority(PRIO_PROCESS, static_cast<id_t>(other), nice));
}

// The limits as they are: a call let through changes nothing, but could have raised them.
int setOwnLimit([[maybe_unused]] bool raw)
{
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0)
        return errno;
#ifdef SYS_setrlimit
    if (raw)
        return outcome(syscall(SYS_setrlimit, RLIMIT_AS, &limit));
#endif
    return outcome(prlimit(0, RLIMIT_AS, &limit, nullptr));
}

int setUpIoUring()
{
    io_uring_params parameters{};
    return closed(syscall(SYS_io_uring_setup, 1, &parameters));
}

int startThread()
{
    try {
        std::thread([] {}).join();
        return 0;
    } catch (const std::system_error &error) {
        return error.code().value();
    }
}

// If the sandbox lets it through, /bin/true replaces the probe and the report stops here.
int execTrue()
{
    char program[] = "/bin/true";
    char *arguments[] = {program, nullptr};
    return outcome(execve(program, arguments, environ));
}

// The helper's own work: read the picture, seek back, write the page.
int copyStdinToStdout()
{
    struct stat info {};
    if (fstat(STDIN_FILENO, &info) != 0)
        return errno;
    std::vector<char> bytes(static_cast<std::size_t>(info.st_size));
    if (read(STDIN_FILENO, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        return errno != 0 ? errno : EIO;
    char first = 0;
    if (!bytes.empty() && (lseek(STDIN_FILENO, 0, SEEK_SET) != 0 || read(STDIN_FILENO, &first, 1) != 1))
        return errno != 0 ? errno : EIO;
    if (write(STDOUT_FILENO, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        return errno != 0 ? errno : EIO;
    return 0;
}

struct Act {
    const char *name;
    int (*attempt)(const Probe &);
};

const Act kActs[] = {
#ifdef SYS_open
    {"open", [](const Probe &p) { return closed(syscall(SYS_open, p.existing().c_str(), O_RDONLY)); }},
#endif
    {"openat", [](const Probe &p) { return closed(openat(AT_FDCWD, p.existing().c_str(), O_RDONLY)); }},
    {"openat2",
     [](const Probe &p) {
         open_how how{};
         how.flags = O_RDONLY;
         return closed(syscall(SYS_openat2, AT_FDCWD, p.existing().c_str(), &how, sizeof how));
     }},
#ifdef SYS_creat
    {"creat", [](const Probe &p) { return closed(syscall(SYS_creat, p.path("created").c_str(), 0600)); }},
#endif
    {"create",
     [](const Probe &p) { return closed(open(p.path("created").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600)); }},
    {"mkdir", [](const Probe &p) { return outcome(mkdir(p.path("made").c_str(), 0700)); }},
    {"unlink", [](const Probe &p) { return outcome(unlink(p.existing().c_str())); }},
    {"rename", [](const Probe &p) { return outcome(rename(p.existing().c_str(), p.path("renamed").c_str())); }},
    {"link", [](const Probe &p) { return outcome(link(p.existing().c_str(), p.path("linked").c_str())); }},
    {"symlink", [](const Probe &p) { return outcome(symlink(p.existing().c_str(), p.path("symlinked").c_str())); }},
    {"truncate", [](const Probe &p) { return outcome(truncate(p.existing().c_str(), 0)); }},
    {"chmod", [](const Probe &p) { return outcome(chmod(p.existing().c_str(), 0)); }},
    {"socket", [](const Probe &) { return closed(socket(AF_UNIX, SOCK_STREAM, 0)); }},
    {"socketpair",
     [](const Probe &) {
         int ends[2];
         const int result = outcome(socketpair(AF_UNIX, SOCK_STREAM, 0, ends));
         if (result == 0) {
             close(ends[0]);
             close(ends[1]);
         }
         return result;
     }},
    {"connect-tcp", [](const Probe &) { return connectTcp(); }},
    {"fork", [](const Probe &) { return forkChild(); }},
    {"spawn", [](const Probe &) { return spawnTrue(); }},
    {"kill-parent", [](const Probe &) { return outcome(kill(getppid(), 0)); }},
    {"kill-other", [](const Probe &p) { return outcome(kill(p.other, SIGKILL)); }},
    {"tgkill-other", [](const Probe &p) { return outcome(syscall(SYS_tgkill, p.other, p.other, SIGKILL)); }},
    {"sigqueue-other", [](const Probe &p) { return outcome(sigqueue(p.other, SIGKILL, sigval{})); }},
    {"ptrace-other", [](const Probe &p) { return outcome(ptrace(PTRACE_SEIZE, p.other, nullptr, nullptr)); }},
    {"vm-write-other", [](const Probe &p) { return writeIntoOther(p.other); }},
    {"io-uring", [](const Probe &) { return setUpIoUring(); }},
    {"write-inherited", [](const Probe &p) { return outcome(write(p.inherited, "x", 1)); }},
    {"setpriority-user", [](const Probe &) { return outcome(setpriority(PRIO_USER, kUnusedUid, 0)); }},
    {"setpriority-other", [](const Probe &p) { return reniceOther(p.other); }},
    {"clear-pdeathsig", [](const Probe &) { return outcome(prctl(PR_SET_PDEATHSIG, 0)); }},
    {"name-thread", [](const Probe &) { return outcome(prctl(PR_SET_NAME, "probe")); }},
#ifdef SYS_setrlimit
    {"setrlimit", [](const Probe &) { return setOwnLimit(true); }},
#endif
    {"prlimit-set", [](const Probe &) { return setOwnLimit(false); }},
    {"prlimit-get",
     [](const Probe &) {
         rlimit limit{};
         return outcome(prlimit(0, RLIMIT_AS, nullptr, &limit));
     }},
    {"thread", [](const Probe &) { return startThread(); }},
    {"execve", [](const Probe &) { return execTrue(); }},
    {"copy", [](const Probe &) { return copyStdinToStdout(); }},
};

void report(const char *act, int error)
{
    const char *name = error == 0 ? "ok" : strerrorname_np(error);
    std::fprintf(stderr, "%s %s\n", act, name != nullptr ? name : std::to_string(error).c_str());
}

bool enterLandlockAlone(std::string &failure)
{
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) {
        failure = std::strerror(errno);
        return false;
    }
    int abi = 0;
    if (!pagemint::sandbox::enterLandlockDomain(abi, failure))
        return false;
    std::fprintf(stderr, "landlock-abi %d\n", abi);
    return true;
}

// Heap corruption as FreeImage's PSD and ICO loaders cause it; glibc detects it and aborts.
void freeTwice()
{
    void *volatile block = std::malloc(24);
    std::free(block);
    std::free(block); // NOLINT(clang-analyzer-unix.Malloc): the fault glibc must catch
}

// One probe run on the standard streams, as one helper run on one picture; `enter` shuts it in
// (or, for the fork server's child, the rest of the way).
int probeOnce(const std::string &mode, const Probe &probe, const pagemint::sandbox::SandboxEntry &enter)
{
    const bool ending = mode == "abort" || mode == "double-free";
    if (ending) {
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
    }

    std::string failure;
    if (!enter(failure)) {
        std::fprintf(stderr, "enter-failed %s\n", failure.c_str());
        return 2;
    }
    if (mode == "abort")
        std::abort();
    if (mode == "double-free")
        freeTwice();
    if (ending)
        return 3; // still alive: the test fails on the exit status

    for (const Act &act : kActs) {
        errno = 0;
        report(act.name, act.attempt(probe));
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // With --serve first, each request to the decoder's fork server runs the probe in a forked
    // child, the way pagemint-decoder --serve runs each decode.
    const bool serve = argc == 6 && std::strcmp(argv[1], pagemint::decoder::kServeArgument) == 0;
    const int first = serve ? 2 : 1;
    const std::string mode = argc == first + 4 ? argv[first] : "";
    if (mode != "sandbox" && mode != "landlock" && mode != "abort" && mode != "double-free") {
        std::fputs("usage: pagemint-sandbox-probe [--serve] sandbox|landlock|abort|double-free FOLDER OTHER_PID "
                   "INHERITED_FD\n",
                   stderr);
        return 64;
    }
    const Probe probe{argv[first + 1], static_cast<pid_t>(std::atoi(argv[first + 2])), std::atoi(argv[first + 3])};
    // Served, as pagemint-decoder --serve: the server shuts itself in, each child adds its own step.
    using pagemint::sandbox::SandboxEntry;
    const SandboxEntry enter = mode == "landlock" ? SandboxEntry(enterLandlockAlone)
                               : serve            ? pagemint::sandbox::enterServerSandbox()
                                                  : SandboxEntry(pagemint::sandbox::enterSandbox);
    if (serve)
        return pagemint::decoder::serveDecodes(0, [&] { return probeOnce(mode, probe, enter); });
    return probeOnce(mode, probe, enter);
}
