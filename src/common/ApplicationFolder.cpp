#include "common/ApplicationFolder.h"

#include <QCoreApplication>

namespace pagemint {

namespace {
QString &overrideFolder()
{
    static QString folder;
    return folder;
}
} // namespace

QString applicationFolder()
{
    return overrideFolder().isEmpty() ? QCoreApplication::applicationDirPath() : overrideFolder();
}

void setApplicationFolderForTesting(const QString &folder)
{
    overrideFolder() = folder;
}

} // namespace pagemint
