#include "StagingPaths.h"

#include "common/FileNameBytes.h"
#include "contract/ConverterContract.h"
#include "contract/StagingFolder.h"

namespace pagemint {

std::filesystem::path toFsPath(const QString &path)
{
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(encodeFileName(path).toStdString());
#endif
}

QString fromFsPath(const std::filesystem::path &path)
{
#ifdef _WIN32
    return QString::fromStdWString(path.wstring());
#else
    return decodeFileName(path.native());
#endif
}

std::filesystem::path stagedPagePath(int index)
{
    return stagingFolder() / stagedPageName(index);
}

QString stagingFilePath(std::string_view name)
{
    return fromFsPath(stagingFolder() / name);
}

} // namespace pagemint
