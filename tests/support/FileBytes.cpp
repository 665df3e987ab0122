#include "FileBytes.h"

#include "contract/ConverterContract.h"
#include "contract/PageReference.h"
#include "contract/StagingFolder.h"
#include "conversion/StagingPaths.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace pagemint::test {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int openStagedPage(const QString &page, std::string &reason)
{
    const std::filesystem::path path = toFsPath(page);
    std::error_code error;
    std::string problem;
    for (const StagedPage &staged : stagedPagesWithReferences(path.parent_path(), error, problem)) {
        if (staged.path.filename() != path.filename())
            continue;
        if (staged.listed && !staged.reference)
            break;
        if (staged.reference)
            return openReferencedPicture(*staged.reference, reason);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            reason = std::strerror(errno);
        return fd;
    }
    reason = "no such page" + (problem.empty() ? std::string() : " (" + problem + ")");
    return -1;
}

QByteArray stagedBytesOf(const QString &page)
{
    std::string reason;
    const int fd = openStagedPage(page, reason);
    if (fd < 0)
        return {};
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
    return file.readAll();
}

std::map<int, QByteArray> stagedPageBytes()
{
    std::map<int, QByteArray> pages;
    std::error_code error;
    std::string problem;
    for (const StagedPage &staged : stagedPagesWithReferences(stagingFolder(), error, problem))
        if (const auto index = stagedPageIndex(staged.path.filename().string()))
            pages[*index] = stagedBytesOf(fromFsPath(staged.path));
    return pages;
}

} // namespace pagemint::test
