#pragma once
// A file written under a temporary name beside its destination and renamed over it only when
// complete: a killed process or a full disk never leaves a half-written destination.

#include <cstdio>
#include <filesystem>
#include <string>

namespace pagemint {

class TempFile {
public:
    TempFile() = default;
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;
    ~TempFile(); // removes the temporary file unless committed

    // Creates ".<name>.XXXXXX" in the destination's folder, with the permissions a new file
    // would get there.
    bool create(const std::filesystem::path &destination, std::string &error);
    std::FILE *file() const { return file_; }
    const std::filesystem::path &path() const { return path_; }
    // Flushes, closes and renames onto the destination; checks every step for write errors.
    bool commit(std::string &error);

private:
    void discard();

    std::filesystem::path destination_, path_;
    std::FILE *file_ = nullptr;
};

} // namespace pagemint
