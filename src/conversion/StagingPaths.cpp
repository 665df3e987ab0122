#include "StagingPaths.h"

#include "PathFunctions.h"
#include "StagingFolder.h"

#include <QFile>

namespace pagemint {

std::filesystem::path toFsPath(const QString &path)
{
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

QString fromFsPath(const std::filesystem::path &path)
{
#ifdef _WIN32
    return QString::fromStdWString(path.wstring());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

std::filesystem::path stagedPagePath(int index)
{
    return stagingFolder() / toFsPath(stagedPageName(index));
}

QString stagingFilePath(const char *name)
{
    return fromFsPath(stagingFolder() / name);
}

} // namespace pagemint
