#include "StagePage.h"

#include "DecoderProcess.h"
#include "Delivery.h"
#include "JpegInfo.h"
#include "PathFunctions.h"
#include "StagingFolder.h"
#include "StagingPaths.h"
#include "decoder/PartialFile.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace pagemint {

namespace {
fs::path partialPath(const fs::path &target)
{
    fs::path partial = target;
    partial += kPartialSuffix;
    return partial;
}

void removePage(const fs::path &target)
{
    std::error_code ignored;
    fs::remove(partialPath(target), ignored);
    fs::remove(target, ignored);
}

StageResult refuse(const fs::path &target, QString reason)
{
    removePage(target);
    return {false, std::move(reason)};
}

// A .jpg goes into the PDF unchanged only when its bytes are a JPEG the reader can show; a PNG
// saved as .jpg, a truncated or a 12-bit file is decoded like any other picture.
bool passesThrough(const QString &sourcePath, const fs::path &source)
{
    if (GetFileExtension(sourcePath).toLower() != QLatin1String("jpg"))
        return false;
    JpegInfo info;
    std::string reason;
    return inspectJpegFile(source, info, reason);
}

} // namespace

StageResult StagePage(int index, const QString &sourcePath)
{
    std::error_code error;
    if (!createStagingFolder(error))
        return {false, QStringLiteral("cannot create the staging folder")};
    const fs::path target = stagedPagePath(index);
    const fs::path source = toFsPath(sourcePath);
    if (!fs::is_regular_file(source, error))
        return refuse(target, QStringLiteral("file not found"));

    if (passesThrough(sourcePath, source)) {
        if (!deliverFile(sourcePath, fromFsPath(target)))
            return refuse(target, QStringLiteral("cannot copy the picture"));
        return {true, {}};
    }

    const DecoderRun run = runDecoder(sourcePath, fromFsPath(target));
    if (!run.written())
        return refuse(target, run.reason);
    if (!fs::is_regular_file(target, error))
        return refuse(target, QStringLiteral("decoder wrote no page"));
    return {true, {}};
}

} // namespace pagemint
