#include "DecodeTask.h"

#include "ConversionLog.h"
#include "DecoderServer.h"
#include "ReasonWords.h"
#include "common/ExitRequest.h"
#include "contract/ConverterContract.h"
#include "contract/DecodeOutcome.h"
#include "contract/Descriptor.h"
#include "contract/SystemReason.h"
#include "conversion/StagingPaths.h"

#include <QCoreApplication>

#include <fcntl.h>

#include <cerrno>

namespace fs = std::filesystem;

namespace pagemint {

namespace {
DecoderRun refusedBySystem(int error)
{
    return {DecoderEnding::Refused, -1, QString::fromStdString(systemReason(error))};
}

bool isExit(const DecoderRun &run, decoder::ExitCode code)
{
    return run.exitCode == static_cast<int>(code);
}
} // namespace

DecodeTask::DecodeTask(const QString &source, fs::path target, decoder::DecodeForm form)
    : source_(source), target_(std::move(target)), form_(form), partial_(target_)
{
    // Written under this name and renamed when whole, so a killed helper never leaves half a page
    // under the page's name; the staging folder holds no file of the user's.
    partial_ += kPartialPageSuffix;
    if (jobStopRequested()) {
        finish({DecoderEnding::Cancelled, -1, reasonWords(reason::kCancelled)});
        return;
    }
    if (std::optional<DecoderRun> refused = startRun(Reader::First, decoderLaunch() == DecoderLaunch::Server))
        finish(std::move(*refused));
}

DecodeTask::~DecodeTask()
{
    if (!done_ && run_)
        run_->kill();
    if (!done_) {
        if (std::error_code error; !fs::remove(partial_, error) && error)
            qCWarning(lcConversion, "partial page %s not removed: %s", partial_.c_str(), error.message().c_str());
    }
}

std::optional<DecoderRun> DecodeTask::startRun(Reader reader, bool viaServer)
{
    reader_ = reader;
    // Each run gets the picture from its first byte and a new, empty page: a helper of an earlier
    // run that is still dying (its server gone) keeps only the old, unlinked page.
    const Descriptor picture(::open(toFsPath(source_).c_str(), O_RDONLY | O_CLOEXEC));
    if (!picture.valid())
        return refusedBySystem(errno);
    std::error_code ignored;
    fs::remove(partial_, ignored);
    const Descriptor page(::open(partial_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!page.valid())
        return refusedBySystem(errno);
    run_ = viaServer ? HelperRun::viaServer(picture.get(), page.get(), form_) : nullptr;
    viaServer_ = run_ != nullptr;
    if (!run_)
        run_ = HelperRun::asProgram(reader == Reader::First ? decoderPath() : fallbackDecoderPath(), picture.get(),
                                    page.get(), form_);
    clock_.start();
    return std::nullopt;
}

bool DecodeTask::advance()
{
    if (done_)
        return true;
    if (jobStopRequested()) {
        run_->kill();
        if (exitRequested)
            DecoderServer::instance().end();
        finish({DecoderEnding::Cancelled, -1, reasonWords(reason::kCancelled)});
        return true;
    }
    if (std::optional<DecoderRun> ended = run_->poll()) {
        onEnded(std::move(*ended));
        return done_;
    }
    if (clock_.elapsed() >= decoderTimeLimit().count()) {
        run_->kill();
        onEnded({DecoderEnding::TimedOut, -1, reasonWords(reason::kDecoderTimedOut)});
    }
    return done_;
}

void DecodeTask::wait(std::chrono::milliseconds timeout)
{
    if (!done_)
        run_->wait(timeout);
}

const DecoderRun &DecodeTask::waitHandlingEvents()
{
    // Short enough that the window stays responsive, long enough that waiting costs no CPU.
    constexpr std::chrono::milliseconds poll{5};
    // Events are handled between checks: an event handled meanwhile may ask the program to end.
    while (!advance()) {
        QCoreApplication::processEvents();
        wait(poll);
    }
    return result_;
}

void DecodeTask::onEnded(DecoderRun run)
{
    using decoder::ExitCode;
    if (reader_ == Reader::First && viaServer_ && run.ending == DecoderEnding::NotStarted) {
        // The server could not fork it or died meanwhile: the picture goes to a helper of its own.
        if (std::optional<DecoderRun> refused = startRun(Reader::First, false))
            finish(std::move(*refused));
        return;
    }
    if (reader_ == Reader::First) {
        if (!isExit(run, ExitCode::LoaderFailed) && !isExit(run, ExitCode::UnknownFormat)) {
            finish(std::move(run));
            return;
        }
        // FreeImage could not load it or does not read its kind: the second reader tries.
        first_ = std::move(run);
        if (startRun(Reader::Second, false))
            finish(first_); // the files could not be opened again: the first verdict stands
        return;
    }
    // Where FreeImage knew the kind, its reason stands unless the second reader makes the page;
    // where it did not, the second reader's verdict stands once it knows the kind.
    const bool firstKnewIt = !isExit(first_, ExitCode::UnknownFormat);
    const bool secondKnewIt = run.ending != DecoderEnding::NotStarted && !isExit(run, ExitCode::UnknownFormat);
    finish(run.written() || (!firstKnewIt && secondKnewIt) ? std::move(run) : first_);
}

void DecodeTask::finish(DecoderRun run)
{
    if (done_)
        return;
    done_ = true;
    run_.reset();
    std::error_code error;
    if (run.written()) {
        fs::rename(partial_, target_, error);
        if (error)
            run = refusedBySystem(error.value());
    }
    if (!run.written())
        fs::remove(partial_, error);
    result_ = std::move(run);
}

} // namespace pagemint
