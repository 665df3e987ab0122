#pragma once
// Recognises the text of a job's staged pages with several recogniser helpers at once, one per
// core as staging decodes, starting on the pages in list order as soon as each is staged (even
// while it still waits under its ".ahead" name), so that the text is ready, or known to be missing,
// by the time the converter is to take the page.

#include "contract/TextRecognition.h"
#include "conversion/RecognizeTask.h"

#include <QList>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace pagemint {

class PageRecognition {
public:
    // `choice` asks for something (TextChoice::any()); up to `width` recognisers run at once.
    // `turns`: the user's turn of each picture by list position (ConversionInputs::turns).
    PageRecognition(TextChoice choice, int width, QList<int> turns = {});
    // Kills the recognisers still running and removes their partial files.
    ~PageRecognition();
    PageRecognition(const PageRecognition &) = delete;
    PageRecognition &operator=(const PageRecognition &) = delete;

    // The page at list position `index` is staged (under its ahead or its page name, or as the
    // listed `reference`); telling it again changes nothing.
    void staged(int index, const std::optional<PageReference> &reference = std::nullopt);

    // Waits, handling events, until the page's recognition has ended, and returns why it has no
    // text (the user's words), or none when its text file is there. `waiting` is called once
    // before any wait. A page never staged has nothing to wait for. Once the job is cancelled or
    // the program is asked to end, every recogniser is ended at once.
    std::optional<QString> awaitText(int index, const std::function<void()> &waiting = {});

private:
    // Moves every running recogniser on and starts more, up to the width; never handles events.
    void step();
    void cancelAll();

    TextChoice choice_;
    int width_;
    QList<int> turns_;
    std::set<int> queued_;                                  // staged, recogniser not yet started
    std::map<int, std::unique_ptr<RecognizeTask>> running_; // started (and maybe done), by index
    std::set<int> announced_;                               // every index ever staged
    std::map<int, PageReference> references_;               // the queued pages that are references
    QTimer timer_;
};

} // namespace pagemint
