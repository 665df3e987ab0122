#include "contract/MappedFile.h"

#include "contract/Reasons.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pagemint {

MappedFile::~MappedFile()
{
#ifndef _WIN32
    if (mapped_)
        ::munmap(const_cast<unsigned char *>(data_), size_);
#endif
}

#ifndef _WIN32
bool MappedFile::open(const std::filesystem::path &path, Access access, std::string &error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = reason::inBrackets(reason::kCannotRead, std::strerror(errno));
        return false;
    }
    const bool opened = open(fd, access, error);
    ::close(fd);
    return opened;
}

bool MappedFile::open(int descriptor, Access access, std::string &error)
{
    struct stat st {};
    const bool regular = ::fstat(descriptor, &st) == 0 && S_ISREG(st.st_mode);
    if (!regular || st.st_size == 0) {
        if (!regular)
            error = reason::kNotAFile;
        return regular; // an empty file is a valid, empty byte range
    }
    size_ = std::size_t(st.st_size);
    const int flags = MAP_PRIVATE | (access == Access::Whole ? MAP_POPULATE : 0);
    void *mapping = ::mmap(nullptr, size_, PROT_READ, flags, descriptor, 0);
    if (mapping == MAP_FAILED) {
        error = reason::inBrackets(reason::kCannotRead, std::strerror(errno));
        size_ = 0;
        return false;
    }
    data_ = static_cast<const unsigned char *>(mapping);
    mapped_ = true;
    return true;
}
#else
bool MappedFile::open(const std::filesystem::path &path, Access, std::string &error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = reason::kCannotRead;
        return false;
    }
    copy_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    data_ = copy_.data();
    size_ = copy_.size();
    return true;
}
#endif

} // namespace pagemint
