#include "PageStaging.h"

#include "ConversionLog.h"
#include "DecoderServer.h"
#include "ReasonWords.h"
#include "StagingPaths.h"
#include "common/ExitRequest.h"
#include "contract/ConverterContract.h"
#include "contract/SystemReason.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace pagemint {

namespace {
// Short enough that a finished decoder's slot is soon refilled and the window stays responsive.
constexpr std::chrono::milliseconds kPoll{5};
// Pages staged ahead of their turn, per decoder: bounds the disk the staging folder holds when the
// converter, not decoding, is the slow part (one PDF per picture).
constexpr int kAheadPerDecoder = 4;
int widthOverride = 0;
} // namespace

int PageStaging::defaultWidth()
{
    return widthOverride > 0 ? widthOverride : std::max(1, QThread::idealThreadCount());
}

void PageStaging::setDefaultWidthForTesting(int width)
{
    widthOverride = width;
}

fs::path PageStaging::aheadPath(int index)
{
    fs::path path = stagedPagePath(index);
    path += kStagedAheadSuffix;
    return path;
}

PageStaging::PageStaging(QStringList pictures, int width) : pictures_(std::move(pictures)), width_(std::max(1, width))
{
    timer_.setInterval(kPoll);
    QObject::connect(&timer_, &QTimer::timeout, [this] { step(); });
    step();
    timer_.start();
}

PageStaging::~PageStaging()
{
    cancelAll();
}

void PageStaging::cancelAll()
{
    timer_.stop();
    ahead_.clear(); // kills the decoders still running
    announced_.clear();
    for (int index = handed_; index < launched_; ++index) {
        const fs::path page = aheadPath(index);
        if (std::error_code error; !fs::remove(page, error) && error)
            qCWarning(lcConversion, "page staged ahead %s not removed: %s", page.c_str(), error.message().c_str());
    }
    launched_ = handed_;
}

void PageStaging::step()
{
    if (jobStopRequested()) {
        cancelAll();
        if (exitRequested)
            DecoderServer::instance().end();
        return;
    }
    int running = 0;
    int index = handed_;
    for (const std::unique_ptr<PageStage> &stage : ahead_) {
        if (!stage->advance())
            ++running;
        else if (stage->pageWritten())
            announce(index, stage->reference());
        ++index;
    }
    const int total = static_cast<int>(pictures_.size());
    const int horizon = std::min<int>(total, handed_ + kAheadPerDecoder * width_);
    while (running < width_ && launched_ < horizon) {
        ahead_.push_back(std::make_unique<PageStage>(pictures_[launched_], aheadPath(launched_)));
        if (ahead_.back()->decoding())
            ++running;
        ++launched_;
    }
    if (running == 0 && launched_ == total)
        timer_.stop();
}

StageResult PageStaging::next()
{
    step();
    // The head's decoder may still run; the others go on meanwhile and free slots are refilled.
    while (!jobStopRequested() && !ahead_.empty() && !ahead_.front()->advance()) {
        QCoreApplication::processEvents();
        if (jobStopRequested() || ahead_.empty())
            break;
        ahead_.front()->wait(kPoll);
        step();
    }
    if (jobStopRequested() || ahead_.empty()) {
        step(); // ends everything once the job or the program is ending
        return {false, reasonWords(reason::kCancelled)};
    }
    std::unique_ptr<PageStage> head = std::move(ahead_.front());
    ahead_.pop_front();
    const int index = handed_++;
    StageResult result = head->finish();
    const std::optional<PageReference> reference = head->reference();
    head.reset();
    result = place(index, std::move(result), reference);
    // Announced under its ahead name when a step saw it written; if none did, now.
    if (result.staged)
        announce(index, reference);
    announced_.erase(index);
    step();
    return result;
}

void PageStaging::setOnStaged(OnStaged onStaged)
{
    onStaged_ = std::move(onStaged);
}

void PageStaging::announce(int index, const std::optional<PageReference> &reference)
{
    if (onStaged_ && announced_.insert(index).second)
        onStaged_(index, reference);
}

StageResult PageStaging::place(int index, StageResult result, const std::optional<PageReference> &reference)
{
    if (result.staged && reference)
        return listReference(index, *reference);
    const fs::path page = stagedPagePath(index);
    std::error_code error;
    if (result.staged) {
        fs::rename(aheadPath(index), page, error);
        if (!error)
            return result;
        result = {false, QString::fromStdString(systemReason(error.value()))};
    }
    // An older page at this position must not go into the PDF in place of the refused picture.
    fs::remove(aheadPath(index), error);
    fs::remove(page, error);
    return result;
}

} // namespace pagemint
