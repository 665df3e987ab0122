// The folder listing done the Qt way, for comparison with readdir in the scan benchmark only.
#include "imagelist/FolderListing.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace pagemint {

std::optional<FolderContents> listFolder(const QString &folder, const std::function<void()> &meanwhile)
{
    struct stat self;
    if (stat(QFile::encodeName(folder).constData(), &self) != 0 || !S_ISDIR(self.st_mode))
        return std::nullopt;
    FolderContents contents;
    contents.identity = {static_cast<std::uint64_t>(self.st_dev), static_cast<std::uint64_t>(self.st_ino)};
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        contents.entries.push_back({info.fileName(), info.isDir()});
        if (meanwhile && contents.entries.size() % 256 == 0)
            meanwhile();
    }
    return contents;
}

} // namespace pagemint
