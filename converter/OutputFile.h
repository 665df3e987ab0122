#pragma once
// The bytes of a file being written through its descriptor: text gathered and written in large
// pieces, other files' contents copied in by the kernel. It counts every byte, for the offsets a
// PDF's cross-reference table lists. The first failure sticks: later writes do nothing.

#include <cstdint>
#include <string>
#include <string_view>

namespace pagemint {

class OutputFile {
public:
    explicit OutputFile(int descriptor) : fd_(descriptor) {}

    void write(std::string_view text);
    // Writes out the gathered text, then copies the first `size` bytes of `from` after it.
    enum class Copy { Done, SourceShort, Failed };
    Copy copyFrom(int from, std::uint64_t size);
    bool flush();

    std::uint64_t offset() const { return written_ + buffer_.size(); }
    // errno of the first failure, 0 while there was none.
    int failure() const { return errno_; }

private:
    int fd_;
    std::string buffer_;
    std::uint64_t written_ = 0;
    int errno_ = 0;
};

} // namespace pagemint
