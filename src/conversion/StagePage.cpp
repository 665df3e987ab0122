#include "StagePage.h"

#include "ConversionLog.h"
#include "DecodeTask.h"
#include "DecoderProcess.h"
#include "Delivery.h"
#include "ReasonWords.h"
#include "StagingPaths.h"
#include "contract/Descriptor.h"
#include "contract/JpegInfo.h"
#include "contract/PageReference.h"
#include "contract/PictureLimits.h"
#include "contract/StagingFolder.h"
#include "contract/SystemReason.h"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>

namespace fs = std::filesystem;

namespace pagemint {

namespace {
enum class PassThrough { No, Yes, TooLarge };

// Any picture whose bytes are a JPEG a PDF reader can show goes in unchanged, whatever its name
// (.jpg, .jpeg, .jfif, or a JPEG saved as .png); a PNG saved as .jpg, a truncated or a 12-bit
// file is decoded like any other picture. It is never decoded here, so only what a PDF reader can
// draw limits it: beyond that a reader would take minutes to draw a blank page.
PassThrough passesThrough(int picture, QString &problem)
{
    JpegInfo info;
    std::string reason;
    if (!inspectJpegDescriptor(picture, info, reason))
        return PassThrough::No;
    const std::string tooLarge = passThroughSizeProblem(info.width, info.height);
    problem = QString::fromStdString(tooLarge);
    return tooLarge.empty() ? PassThrough::Yes : PassThrough::TooLarge;
}

std::optional<bool> readInPlaceOverride;

bool readsInPlace(int picture)
{
    if (readInPlaceOverride)
        return *readInPlaceOverride;
    struct statfs fileSystem {};
    return ::fstatfs(picture, &fileSystem) == 0 && keepsFileIdentity(long(fileSystem.f_type));
}

} // namespace

void PageStage::setReadInPlaceForTesting(std::optional<bool> readInPlace)
{
    readInPlaceOverride = readInPlace;
}

PageStage::PageStage(const QString &sourcePath, fs::path target) : source_(sourcePath), target_(std::move(target))
{
    std::error_code error;
    if (!createStagingFolder(error)) {
        reason_ = reasonWords(reason::kNoStagingFolder);
        return;
    }
    const fs::path source = fs::absolute(toFsPath(sourcePath), error);
    // Not blocking: a FIFO under a picture's name must not hold the job up.
    const Descriptor picture(error ? -1 : ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat status {};
    if (!picture.valid() || ::fstat(picture.get(), &status) != 0) {
        reason_ = QString::fromStdString(systemReason(error ? error.value() : errno));
        return;
    }
    if (!S_ISREG(status.st_mode)) {
        reason_ = reasonWords(reason::kNotAFile);
        return;
    }
    switch (passesThrough(picture.get(), reason_)) {
    case PassThrough::TooLarge:
        return;
    case PassThrough::Yes:
        // The page refers to the picture as it was when inspected: the converter reads it where
        // it lies, and leaves it out if it is no longer that file. Where a file's identity may not
        // last, the picture is copied at its turn instead.
        if (readsInPlace(picture.get())) {
            reference_ = PageReference{source, identityOf(status)};
            kind_ = Kind::Reference;
        } else {
            kind_ = Kind::Copy;
        }
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

bool PageStage::pageWritten() const
{
    return kind_ == Kind::Reference || (decode_ && decode_->done() && decode_->result().written());
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
    case Kind::Reference:
        return {true, {}};
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
    PageStage stage(sourcePath, stagedPagePath(index));
    const StageResult result = stage.finish();
    return result.staged && stage.reference() ? listReference(index, *stage.reference()) : result;
}

StageResult listReference(int index, const PageReference &reference)
{
    const fs::path page = stagedPagePath(index);
    std::error_code error;
    // An older page file under its name would be taken in its place.
    if (!fs::remove(page, error) && error)
        return {false, QString::fromStdString(systemReason(error.value()))};
    if (!appendPageReference(page.parent_path(), page.filename().string(), reference, error))
        return {false, QString::fromStdString(systemReason(error.value()))};
    return {true, {}};
}

} // namespace pagemint
