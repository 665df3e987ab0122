#include "conversion/PageRecognition.h"

#include "common/ExitRequest.h"
#include "conversion/PageStaging.h"
#include "conversion/ReasonWords.h"
#include "conversion/StagingPaths.h"

#include <QCoreApplication>

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace pagemint {

namespace {
// As staging: a finished recogniser's slot is soon refilled and the window stays responsive.
constexpr std::chrono::milliseconds kPoll{5};

// Where the page is now: its page name once handed out, its ahead name until then. Nothing else
// renames it, and nothing runs between this look and the open that follows.
fs::path currentPagePath(int index)
{
    const fs::path page = stagedPagePath(index);
    std::error_code error;
    return fs::exists(page, error) ? page : PageStaging::aheadPath(index);
}
} // namespace

PageRecognition::PageRecognition(TextChoice choice, int width, QList<int> turns)
    : choice_(choice), width_(std::max(1, width)), turns_(std::move(turns))
{
    timer_.setInterval(kPoll);
    QObject::connect(&timer_, &QTimer::timeout, [this] { step(); });
}

PageRecognition::~PageRecognition()
{
    cancelAll();
}

void PageRecognition::cancelAll()
{
    timer_.stop();
    running_.clear(); // kills the recognisers still running and removes their partial files
    queued_.clear();
    references_.clear();
}

void PageRecognition::staged(int index, const std::optional<PageReference> &reference)
{
    if (!announced_.insert(index).second)
        return;
    queued_.insert(index);
    if (reference)
        references_.emplace(index, *reference);
    step();
    if (!timer_.isActive() && !jobStopRequested())
        timer_.start();
}

void PageRecognition::step()
{
    if (jobStopRequested()) {
        cancelAll();
        return;
    }
    int busy = 0;
    for (const auto &[index, task] : running_)
        if (!task->advance())
            ++busy;
    while (busy < width_ && !queued_.empty()) {
        const int index = *queued_.begin();
        queued_.erase(queued_.begin());
        std::optional<PageReference> reference;
        if (const auto found = references_.find(index); found != references_.end()) {
            reference = std::move(found->second);
            references_.erase(found);
        }
        auto task =
            std::make_unique<RecognizeTask>(index, currentPagePath(index), reference, choice_, turns_.value(index, 0));
        if (!task->done())
            ++busy;
        running_.emplace(index, std::move(task));
    }
    if (busy == 0 && queued_.empty())
        timer_.stop();
}

std::optional<QString> PageRecognition::awaitText(int index, const std::function<void()> &waiting)
{
    if (!announced_.contains(index))
        return std::nullopt;
    step();
    bool told = false;
    while (!jobStopRequested()) {
        const auto task = running_.find(index);
        if (task != running_.end() && task->second->advance())
            break;
        if (!told && waiting) {
            told = true;
            waiting();
        }
        QCoreApplication::processEvents();
        if (jobStopRequested())
            break;
        // The page's own recogniser, or while it waits for a slot, the first that may free one.
        auto watched = running_.find(index);
        if (watched == running_.end())
            watched =
                std::find_if(running_.begin(), running_.end(), [](const auto &run) { return !run.second->done(); });
        if (watched != running_.end())
            watched->second->wait(kPoll);
        step();
    }
    if (jobStopRequested()) {
        cancelAll();
        return reasonWords(reason::kCancelled);
    }
    const auto task = running_.find(index);
    std::optional<QString> failure;
    if (!task->second->failure().isEmpty())
        failure = task->second->failure();
    running_.erase(task);
    if (!timer_.isActive() && !queued_.empty())
        timer_.start();
    return failure;
}

} // namespace pagemint
