#include "TempFile.h"

#include "contract/ConverterContract.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace pagemint {

namespace {

// The temporary file the process is writing, for the signal handler: SIGTERM, SIGINT or SIGHUP
// remove it before the process ends. (SIGKILL cannot be caught; the name starts with a dot and
// never looks like a finished PDF.)
char pendingPath[4096];

extern "C" void removePendingAndDie(int sig)
{
    if (pendingPath[0] != '\0')
        ::unlink(pendingPath);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void setPending(const fs::path &path)
{
    const std::string &s = path.native();
    if (s.size() >= sizeof pendingPath)
        return;
    std::memcpy(pendingPath, s.c_str(), s.size() + 1);
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        std::signal(sig, removePendingAndDie);
}

void clearPending()
{
    pendingPath[0] = '\0';
}

std::string systemError(const char *what, const fs::path &path)
{
    return std::string(what) + " " + path.string() + ": " + std::strerror(errno);
}

} // namespace

TempFile::~TempFile()
{
    discard();
}

bool TempFile::create(const fs::path &destination, std::string &error)
{
    destination_ = destination;
    fs::path folder = destination.parent_path();
    if (folder.empty())
        folder = ".";
    std::string name = (folder / converterTemporaryName(destination.filename().string())).string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        error = systemError("cannot create a file in", folder);
        return false;
    }
    path_ = name;
    setPending(path_);
    // mkstemp makes the file private; the finished PDF should have the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
        error = systemError("cannot write", path_);
        ::close(fd);
        discard();
        return false;
    }
    return true;
}

bool TempFile::commit(std::string &error)
{
    const bool written = std::fflush(file_) == 0 && !std::ferror(file_);
    const int savedErrno = errno;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!written || !closed) {
        errno = written ? errno : savedErrno;
        error = systemError("cannot write", destination_);
        discard();
        return false;
    }
    if (std::rename(path_.c_str(), destination_.c_str()) != 0) {
        error = systemError("cannot create", destination_);
        discard();
        return false;
    }
    path_.clear();
    clearPending();
    return true;
}

void TempFile::discard()
{
    if (file_ != nullptr)
        std::fclose(file_);
    file_ = nullptr;
    if (!path_.empty())
        ::unlink(path_.c_str());
    path_.clear();
    clearPending();
}

} // namespace pagemint
