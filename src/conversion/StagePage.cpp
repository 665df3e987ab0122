#include "StagePage.h"

#include "ConversionLog.h"
#include "DecodeTask.h"
#include "DecoderProcess.h"
#include "Delivery.h"
#include "ReasonWords.h"
#include "StagingPaths.h"
#include "contract/JpegInfo.h"
#include "contract/PictureLimits.h"
#include "contract/StagingFolder.h"
#include "contract/SystemReason.h"

#include <cerrno>
#include <system_error>

namespace fs = std::filesystem;

namespace pagemint {

namespace {
enum class PassThrough { No, Yes, TooLarge };

// Any picture whose bytes are a JPEG a PDF reader can show goes in unchanged, whatever its name
// (.jpg, .jpeg, .jfif, or a JPEG saved as .png); a PNG saved as .jpg, a truncated or a 12-bit
// file is decoded like any other picture. It is never decoded here, so only what a PDF reader can
// draw limits it: beyond that a reader would take minutes to draw a blank page.
PassThrough passesThrough(const fs::path &source, QString &problem)
{
    JpegInfo info;
    std::string reason;
    if (!inspectJpegFile(source, info, reason))
        return PassThrough::No;
    const std::string tooLarge = passThroughSizeProblem(info.width, info.height);
    problem = QString::fromStdString(tooLarge);
    return tooLarge.empty() ? PassThrough::Yes : PassThrough::TooLarge;
}

} // namespace

PageStage::PageStage(const QString &sourcePath, fs::path target) : source_(sourcePath), target_(std::move(target))
{
    std::error_code error;
    if (!createStagingFolder(error)) {
        reason_ = reasonWords(reason::kNoStagingFolder);
        return;
    }
    const fs::path source = toFsPath(sourcePath);
    const fs::file_status status = fs::status(source, error);
    if (error || !fs::exists(status)) {
        reason_ = QString::fromStdString(systemReason(error ? error.value() : ENOENT));
        return;
    }
    if (!fs::is_regular_file(status)) {
        reason_ = reasonWords(reason::kNotAFile);
        return;
    }
    switch (passesThrough(source, reason_)) {
    case PassThrough::TooLarge:
        return;
    case PassThrough::Yes:
        kind_ = Kind::Copy;
        return;
    case PassThrough::No:
        kind_ = Kind::Decode;
        decode_ = std::make_unique<DecodeTask>(sourcePath, target_);
        return;
    }
}

PageStage::~PageStage() = default;

bool PageStage::advance()
{
    return !decode_ || decode_->advance();
}

bool PageStage::decoding() const
{
    return decode_ && !decode_->done();
}

bool PageStage::decoded() const
{
    return decode_ && decode_->done() && decode_->result().written();
}

void PageStage::wait(std::chrono::milliseconds timeout)
{
    if (decode_)
        decode_->wait(timeout);
}

// An older page at this position must not go into the PDF in place of the refused picture. The
// decoder's and the copy's own temporary files are removed by DecodeTask and deliverFile.
StageResult PageStage::refuse(QString reason)
{
    if (std::error_code error; !fs::remove(target_, error) && error)
        qCWarning(lcConversion, "older page %s not removed: %s", target_.c_str(), error.message().c_str());
    return {false, std::move(reason)};
}

StageResult PageStage::finish()
{
    switch (kind_) {
    case Kind::Refused:
        return refuse(reason_);
    case Kind::Copy:
        if (std::error_code copyError; !deliverFile(source_, fromFsPath(target_), &copyError))
            return refuse(QString::fromStdString(systemReason(copyError.value())));
        return {true, {}};
    case Kind::Decode:
        break;
    }
    const DecoderRun &run = decode_->waitHandlingEvents();
    if (!run.written())
        return refuse(run.reason);
    if (std::error_code error; !fs::is_regular_file(target_, error))
        return refuse(reasonWords(reason::kDecoderWroteNothing));
    return {true, {}};
}

StageResult StagePage(int index, const QString &sourcePath)
{
    return PageStage(sourcePath, stagedPagePath(index)).finish();
}

} // namespace pagemint
