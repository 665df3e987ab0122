#pragma once
// A whole file as bytes in memory without copying it: mapped on POSIX systems (only the pages
// that are touched are read), read into memory elsewhere. Standard library and POSIX only.

#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace pagemint {

class MappedFile {
public:
    MappedFile() = default;
    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;
    ~MappedFile();

    enum class Access { Sparse, Whole };
    // Sparse: pages are read as they are touched (a header and a tail). Whole: every page is
    // mapped at once, for a reader that goes through all of it.
    bool open(const std::filesystem::path &path, Access access, std::string &error);
#ifndef _WIN32
    // The file behind an open descriptor, which stays the caller's.
    bool open(int descriptor, Access access, std::string &error);
#endif
    std::span<const unsigned char> bytes() const
    {
        return {data_, size_};
    }

private:
    const unsigned char *data_ = nullptr;
    std::size_t size_ = 0;
    bool mapped_ = false;
    std::vector<unsigned char> copy_; // where there is no mapping
};

} // namespace pagemint
