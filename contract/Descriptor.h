#pragma once
// An open file descriptor, closed on every path out.

#include <unistd.h>

#include <utility>

namespace pagemint {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Hands the descriptor on; it is no longer closed here.
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

} // namespace pagemint
