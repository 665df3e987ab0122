#include "FileBytes.h"

#include "contract/PageReference.h"
#include "conversion/StagingPaths.h"

#include <QFile>

#include <unistd.h>

namespace pagemint::test {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray stagedBytesOf(const QString &page)
{
    std::string reason;
    const int fd = openStagedPicture(toFsPath(page), reason);
    if (fd < 0)
        return {};
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
    return file.readAll();
}

} // namespace pagemint::test
