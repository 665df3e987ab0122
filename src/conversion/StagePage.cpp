#include "StagePage.h"

#include "DecoderProcess.h"
#include "Delivery.h"
#include "JpegInfo.h"
#include "contract/StagingFolder.h"
#include "StagingPaths.h"
#include "contract/PictureLimits.h"
#include "contract/SystemReason.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace pagemint {

namespace {
// An older page at this position must not go into the PDF in place of the refused picture. The
// decoder's and the copy's own temporary files are removed by runDecoder and deliverFile.
StageResult refuse(const fs::path &target, QString reason)
{
    std::error_code ignored;
    fs::remove(target, ignored);
    return {false, std::move(reason)};
}

enum class PassThrough { No, Yes, TooLarge };

// Any picture whose bytes are a JPEG a PDF reader can show goes in unchanged, whatever its name
// (.jpg, .jpeg, .jfif, or a JPEG saved as .png); a PNG saved as .jpg, a truncated or a 12-bit
// file is decoded like any other picture. A JPEG beyond the limits of a decoded picture is
// refused: a reader would take minutes to draw its blank page.
PassThrough passesThrough(const fs::path &source, QString &problem)
{
    JpegInfo info;
    std::string reason;
    if (!inspectJpegFile(source, info, reason))
        return PassThrough::No;
    const std::uint64_t bits = 8ull * info.components * (info.progressive ? 3 : 1);
    const std::string tooLarge = pictureSizeProblem(info.width, info.height, bits);
    problem = QString::fromStdString(tooLarge);
    return tooLarge.empty() ? PassThrough::Yes : PassThrough::TooLarge;
}

} // namespace

StageResult StagePage(int index, const QString &sourcePath)
{
    std::error_code error;
    if (!createStagingFolder(error))
        return {false, QStringLiteral("cannot create the staging folder")};
    const fs::path target = stagedPagePath(index);
    const fs::path source = toFsPath(sourcePath);
    const fs::file_status status = fs::status(source, error);
    if (error || !fs::exists(status))
        return refuse(target, QString::fromStdString(systemReason(error ? error.value() : ENOENT)));
    if (!fs::is_regular_file(status))
        return refuse(target, QStringLiteral("not a file"));

    QString problem;
    switch (passesThrough(source, problem)) {
    case PassThrough::TooLarge:
        return refuse(target, problem);
    case PassThrough::Yes:
        if (std::error_code copyError; !deliverFile(sourcePath, fromFsPath(target), &copyError))
            return refuse(target, QString::fromStdString(systemReason(copyError.value())));
        return {true, {}};
    case PassThrough::No:
        break;
    }

    const DecoderRun run = runDecoder(sourcePath, fromFsPath(target));
    if (!run.written())
        return refuse(target, run.reason);
    if (!fs::is_regular_file(target, error))
        return refuse(target, QStringLiteral("decoder wrote no page"));
    return {true, {}};
}

} // namespace pagemint
