// Preloaded into a helper (LD_PRELOAD), this library watches for the first read of the picture on
// stdin, the moment a hostile picture first gets a say. There it reports on stderr whether the
// helper had entered its sandbox ("first-read sandboxed" or "first-read unconfined"), and tries to
// write to the descriptor named by PAGEMINT_SPY_INHERITED_FD, which the helper was started with
// ("write-inherited <ok|errno name>"), and to open the file named by PAGEMINT_SPY_OPEN_PATH
// ("open-file <ok|errno name>"). Where OpenMP is loaded it reports the thread limit it took
// ("omp-thread-limit N"). Then the read goes on as asked.

#include <dlfcn.h>
#include <fcntl.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::atomic_flag seen = ATOMIC_FLAG_INIT;

void say(const std::string &line)
{
    const std::string text = line + "\n";
    (void)!::write(STDERR_FILENO, text.data(), text.size());
}

void sayResult(const char *act, bool worked)
{
    const char *name = worked ? "ok" : strerrorname_np(errno);
    say(std::string(act) + " " + (name != nullptr ? name : "?"));
}

void firstRead()
{
    if (seen.test_and_set())
        return;
    const int savedErrno = errno;
    say(prctl(PR_GET_SECCOMP) == SECCOMP_MODE_FILTER ? "first-read sandboxed" : "first-read unconfined");
    if (const char *fd = std::getenv("PAGEMINT_SPY_INHERITED_FD"))
        sayResult("write-inherited", ::write(std::atoi(fd), "x", 1) == 1);
    if (const char *path = std::getenv("PAGEMINT_SPY_OPEN_PATH")) {
        const int opened = ::open(path, O_RDONLY | O_CLOEXEC);
        sayResult("open-file", opened >= 0);
        if (opened >= 0)
            ::close(opened);
    }
    // What libgomp read from the environment as it was loaded, if it is.
    if (const auto threadLimit = reinterpret_cast<int (*)()>(dlsym(RTLD_DEFAULT, "omp_get_thread_limit")))
        say("omp-thread-limit " + std::to_string(threadLimit()));
    errno = savedErrno;
}

template <typename Function> Function next(const char *name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

// The ways the helpers and their libraries read a stream: the system call's wrappers (Qt's files),
// and stdio (FreeImage's and libheif's callers); glibc's own stdio calls its internal read, not these.
// They take the C library's names, reserved ones included (the checked fread of _FORTIFY_SOURCE).
// NOLINTBEGIN(readability-inconsistent-declaration-parameter-name,bugprone-reserved-identifier)
extern "C" {

ssize_t read(int fd, void *buffer, size_t size)
{
    static const auto real = next<ssize_t (*)(int, void *, size_t)>("read");
    if (fd == STDIN_FILENO)
        firstRead();
    return real(fd, buffer, size);
}

ssize_t pread64(int fd, void *buffer, size_t size, off64_t offset)
{
    static const auto real = next<ssize_t (*)(int, void *, size_t, off64_t)>("pread64");
    if (fd == STDIN_FILENO)
        firstRead();
    return real(fd, buffer, size, offset);
}

size_t fread(void *buffer, size_t size, size_t count, FILE *stream)
{
    static const auto real = next<size_t (*)(void *, size_t, size_t, FILE *)>("fread");
    if (fileno(stream) == STDIN_FILENO)
        firstRead();
    return real(buffer, size, count, stream);
}

size_t __fread_chk(void *buffer, size_t bufferSize, size_t size, size_t count, FILE *stream)
{
    static const auto real = next<size_t (*)(void *, size_t, size_t, size_t, FILE *)>("__fread_chk");
    if (fileno(stream) == STDIN_FILENO)
        firstRead();
    return real(buffer, bufferSize, size, count, stream);
}

int fgetc(FILE *stream)
{
    static const auto real = next<int (*)(FILE *)>("fgetc");
    if (fileno(stream) == STDIN_FILENO)
        firstRead();
    return real(stream);
}

} // extern "C"
// NOLINTEND(readability-inconsistent-declaration-parameter-name,bugprone-reserved-identifier)
