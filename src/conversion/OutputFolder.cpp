#include "conversion/OutputFolder.h"

#include "contract/StagingFolder.h"
#include "contract/SystemReason.h"
#include "conversion/DeliveryTemporary.h"
#include "conversion/StagingPaths.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace pagemint {

namespace {
// A folder's own words where the system's would speak of a file.
QString folderWords(const std::error_code &error)
{
    if (error == std::errc::not_a_directory)
        return QStringLiteral("不是文件夹");
    // Only the last level is made.
    if (error == std::errc::no_such_file_or_directory)
        return QStringLiteral("上级文件夹不存在");
    return QString::fromStdString(systemReason(error.value()));
}

bool isInside(const fs::path &folder, const fs::path &container)
{
    std::error_code ignored;
    const fs::path inner = fs::weakly_canonical(fs::absolute(folder), ignored);
    const fs::path outer = fs::weakly_canonical(fs::absolute(container), ignored);
    const auto [end, ignoredRest] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
    return end == outer.end();
}

// Making a file is the only test that tells: permission bits say nothing to root, and a
// read-only or full file system shows only when something is written.
std::error_code tryToMakeAFile(const fs::path &folder)
{
    std::error_code error;
    const fs::path made = makeDeliveryTemporary(folder, error);
    if (!error)
        fs::remove(made, error);
    return error;
}
} // namespace

QString outputFolderProblem(const QString &folder)
{
    // A NUL would end the name early on its way to the system: the PDFs would go elsewhere.
    if (folder.contains(QChar(u'\0')))
        return QStringLiteral("文件夹名称含有空字符（NUL）");
    const fs::path path = toFsPath(folder);
    if (isInside(path, stagingFolder()))
        return QStringLiteral("这是程序的临时文件夹，每次转换后都会被清空");
    std::error_code error;
    if (fs::exists(path, error) && !fs::is_directory(path, error))
        error = std::make_error_code(std::errc::not_a_directory);
    else if (!error)
        fs::create_directory(path, error);
    if (!error)
        error = tryToMakeAFile(path);
    return error ? folderWords(error) : QString();
}

} // namespace pagemint
