#pragma once
// Stages a whole list with several decoder helpers at once while handing the outcomes back one by
// one in list order, as StagePage called on each picture in turn would: same pages under the
// same numbers, same reasons. A page staged ahead waits under a name that is no page name
// ("00004.jpg.ahead") until its turn, because the converter takes every page in the staging
// folder: in the one-PDF-per-picture mode a page of a later picture must not be there while an
// earlier picture's PDF is made.

#include "StagePage.h"

#include <QStringList>
#include <QTimer>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>

namespace pagemint {

class PageStaging {
public:
    // Starts staging `pictures` (list position = page number) with up to `width` decoders running
    // at once. Decoders move on whenever events are handled, also between two calls of next().
    explicit PageStaging(QStringList pictures, int width = defaultWidth());
    // Kills the decoders still running and removes the pages staged ahead.
    ~PageStaging();
    PageStaging(const PageStaging &) = delete;
    PageStaging &operator=(const PageStaging &) = delete;

    // The outcome for the next picture of the list, waiting for it while handling events; its page
    // is under its page name from now on (or no page is, when it was left out). Once the job is
    // cancelled every helper is ended (and the decoder server once the program is asked to end)
    // and the outcome is "cancelled". Call at most once per picture.
    StageResult next();

    // Called with a picture's list position as soon as its page is staged: under its ahead name
    // once its decoder has written it, or under its page name when next() hands it out; for a JPEG
    // passing through, with its reference as soon as it is checked. Once each.
    using OnStaged = std::function<void(int index, const std::optional<PageReference> &reference)>;
    void setOnStaged(OnStaged onStaged);

    // One decoder per core, unless a benchmark set another width.
    static int defaultWidth();
    // Benchmarks compare with one decoder at a time; 0 restores one per core.
    static void setDefaultWidthForTesting(int width);

    // Where a page staged ahead of its turn waits.
    static std::filesystem::path aheadPath(int index);

private:
    // Moves every running decoder on and starts more, up to the width; never handles events.
    void step();
    void cancelAll();
    // Puts the handed-out page under its page name, or removes an old page there.
    StageResult place(int index, StageResult result, const std::optional<PageReference> &reference);
    void announce(int index, const std::optional<PageReference> &reference);

    QStringList pictures_;
    int width_;
    int handed_ = 0;                               // the next picture to hand out
    int launched_ = 0;                             // pictures whose PageStage exists or has been handed out
    std::deque<std::unique_ptr<PageStage>> ahead_; // pictures handed_ .. launched_ - 1
    OnStaged onStaged_;
    std::set<int> announced_; // pictures handed_ .. launched_ - 1 whose page onStaged_ has been told of
    QTimer timer_;
};

} // namespace pagemint
