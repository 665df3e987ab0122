#include "PageTextFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pagemint {

namespace {
// Closes the descriptor when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int fd() const { return fd_; }

private:
    int fd_;
};

PageTextFile refuse(std::string &problem, std::string what)
{
    problem = std::move(what);
    return PageTextFile::Refused;
}
} // namespace

PageTextFile readPageTextFile(const std::filesystem::path &path, PageText &text, std::string &problem)
{
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.fd() < 0)
        return errno == ENOENT ? PageTextFile::Absent : refuse(problem, std::strerror(errno));
    struct stat st {};
    if (::fstat(file.fd(), &st) != 0)
        return refuse(problem, std::strerror(errno));
    if (!S_ISREG(st.st_mode))
        return refuse(problem, "not a regular file");
    if (std::uintmax_t(st.st_size) > kMaxPageTextBytes)
        return refuse(problem, "file too large");
    // One byte past its size tells a file that grew since fstat.
    std::string bytes(std::size_t(st.st_size) + 1, '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(file.fd(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return refuse(problem, std::strerror(errno));
        if (n == 0)
            break;
        done += std::size_t(n);
    }
    if (done == bytes.size())
        return refuse(problem, "file changed while read");
    bytes.resize(done);
    std::optional<PageText> parsed = parsePageText(bytes, problem);
    if (!parsed)
        return PageTextFile::Refused;
    text = std::move(*parsed);
    return PageTextFile::Read;
}

} // namespace pagemint
