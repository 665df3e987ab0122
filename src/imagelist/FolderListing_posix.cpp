#include "imagelist/FolderListing.h"

#include "common/FileNameBytes.h"
#include "imagelist/ImageListLog.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

// readdir rather than QDir: the scan lists thousands of folders, and QDir's QFileInfo per entry
// roughly doubled the time of a 50,000-entry scan (docs/performance.md, "Folder scan").

namespace pagemint {

namespace {

constexpr std::size_t entriesBetweenCalls = 256;

struct DirCloser {
    void operator()(DIR *dir) const { closedir(dir); }
};

bool isDot(const char *name)
{
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

bool leadsToFolder(int folderFd, const dirent &entry)
{
    if (entry.d_type == DT_DIR)
        return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return false;
    struct stat target;
    return fstatat(folderFd, entry.d_name, &target, 0) == 0 && S_ISDIR(target.st_mode);
}

} // namespace

std::optional<FolderContents> listFolder(const QString &folder, const std::function<void()> &meanwhile)
{
    // The scan goes on without a folder it cannot list; the line says which one and why.
    const auto unlisted = [&folder](const char *how) {
        const int error = errno;
        qCWarning(lcImageList, "folder %s not %s: %s", qUtf8Printable(folder), how, std::strerror(error));
        return std::nullopt;
    };
    const std::unique_ptr<DIR, DirCloser> dir(opendir(encodeFileName(folder).constData()));
    if (!dir)
        return unlisted("opened");
    const int fd = dirfd(dir.get());
    struct stat self;
    if (fstat(fd, &self) != 0)
        return unlisted("examined");

    FolderContents contents;
    contents.identity = {static_cast<std::uint64_t>(self.st_dev), static_cast<std::uint64_t>(self.st_ino)};
    // A read error part-way keeps what was read: those entries exist. readdir tells an error from
    // the end only by errno.
    errno = 0;
    while (const dirent *entry = readdir(dir.get())) {
        if (!isDot(entry->d_name)) {
            contents.entries.push_back({decodeFileName(entry->d_name), leadsToFolder(fd, *entry)});
            if (meanwhile && contents.entries.size() % entriesBetweenCalls == 0)
                meanwhile();
        }
        errno = 0;
    }
    if (errno != 0)
        unlisted("read to its end");
    return contents;
}

} // namespace pagemint
