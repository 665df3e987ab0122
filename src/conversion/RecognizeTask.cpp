#include "conversion/RecognizeTask.h"

#include "common/ExitRequest.h"
#include "contract/ConverterContract.h"
#include "contract/Descriptor.h"
#include "contract/PageReference.h"
#include "contract/PageText.h"
#include "contract/StagingFolder.h"
#include "contract/SystemReason.h"
#include "contract/TextRecognition.h"
#include "conversion/ConversionLog.h"
#include "conversion/ReasonWords.h"
#include "conversion/RecognizerProcess.h"

#include <fcntl.h>

#include <cerrno>
#include <system_error>

namespace fs = std::filesystem;

namespace pagemint {

namespace {
DecoderRun refusedBySystem(int error)
{
    return {DecoderEnding::Refused, -1, QString::fromStdString(systemReason(error))};
}

// Which model files the recogniser read (Debian's Chinese model when the larger one could not be
// fetched), logged when it first says so and whenever that changes.
void logModelsUsed(const QString &line)
{
    static QString logged;
    if (!line.startsWith(QLatin1String(kModelsUsedPrefix.data(), qsizetype(kModelsUsedPrefix.size()))) ||
        line == logged)
        return;
    logged = line;
    qCInfo(lcConversion, "text recogniser %s", qUtf8Printable(line));
}

void removeFile(const fs::path &file)
{
    if (std::error_code error; !fs::remove(file, error) && error)
        qCWarning(lcConversion, "page text %s not removed: %s", file.c_str(), error.message().c_str());
}
} // namespace

RecognizeTask::RecognizeTask(int index, const fs::path &page, const std::optional<PageReference> &reference,
                             const TextChoice &choice, int turn)
    : text_(stagingFolder() / stagedTextName(index)), partial_(text_)
{
    partial_ += kPartialPageSuffix;
    // No text of an earlier run may stand for this page if this one fails.
    removeFile(text_);
    removeFile(partial_);
    if (jobStopRequested()) {
        finish({DecoderEnding::Cancelled, -1, reasonWords(reason::kCancelled)});
        return;
    }
    // A page passed through is read where it lies, while it is still the picture checked.
    std::string unreadable;
    const Descriptor input(reference ? openReferencedPicture(*reference, unreadable)
                                     : ::open(page.c_str(), O_RDONLY | O_CLOEXEC));
    if (!input.valid()) {
        finish(reference ? DecoderRun{DecoderEnding::Refused, -1, QString::fromStdString(unreadable)}
                         : refusedBySystem(errno));
        return;
    }
    const Descriptor output(::open(partial_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!output.valid()) {
        finish(refusedBySystem(errno));
        return;
    }
    run_ = HelperRun::asProgram(recognizerProgram(choice, turn), input.get(), output.get());
    clock_.start();
}

RecognizeTask::~RecognizeTask()
{
    if (done_)
        return;
    if (run_)
        run_->kill();
    removeFile(partial_);
}

bool RecognizeTask::advance()
{
    if (done_)
        return true;
    if (jobStopRequested()) {
        run_->kill();
        finish({DecoderEnding::Cancelled, -1, reasonWords(reason::kCancelled)});
    } else if (std::optional<DecoderRun> ended = run_->poll()) {
        finish(*ended);
    } else if (clock_.elapsed() >= recognizerTimeLimit().count()) {
        run_->kill();
        finish({DecoderEnding::TimedOut, -1, reasonWords(reason::kRecognizerTimedOut)});
    }
    return done_;
}

void RecognizeTask::wait(std::chrono::milliseconds timeout)
{
    if (!done_)
        run_->wait(timeout);
}

void RecognizeTask::finish(const DecoderRun &run)
{
    done_ = true;
    run_.reset();
    if (run.written()) {
        logModelsUsed(run.reason);
        std::error_code error;
        fs::rename(partial_, text_, error);
        if (!error)
            return;
        failure_ = reasonWords(reason::kTextNotRecognized, QString::fromStdString(systemReason(error.value())));
    } else {
        failure_ = reasonWords(reason::kTextNotRecognized, run.reason);
    }
    removeFile(partial_);
}

} // namespace pagemint
