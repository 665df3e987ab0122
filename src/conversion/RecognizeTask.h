#pragma once
// One recogniser run on one staged page, moved on by advance() so that several can run at once
// (PageRecognition.h). The recogniser reads the page from a descriptor opened at the start, so the
// page may be renamed meanwhile (from its ".ahead" name to its page name); it writes the page's text
// as "<NNNNN>.txt.part", which is renamed to stagedTextName(index) when it ends well.

#include "contract/PageReference.h"
#include "conversion/HelperRun.h"

#include <QElapsedTimer>
#include <QString>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>

namespace pagemint {

struct TextChoice;

class RecognizeTask {
public:
    // Starts the recogniser on the page at list position `index`, found at `page`, or the picture
    // `reference` names when the page is a listed reference; the user turned it by `turn`
    // (clockwise) on top of its EXIF orientation.
    RecognizeTask(int index, const std::filesystem::path &page, const std::optional<PageReference> &reference,
                  const TextChoice &choice, int turn = 0);
    // A recogniser still running is killed and its partial text removed.
    ~RecognizeTask();
    RecognizeTask(const RecognizeTask &) = delete;
    RecognizeTask &operator=(const RecognizeTask &) = delete;

    // Checks on the recogniser without blocking; true once the outcome is known. Past the time
    // limit it is killed; once the job is cancelled or the program is asked to end, at once.
    bool advance();
    // Waits up to `timeout` for news of the recogniser (at once when done).
    void wait(std::chrono::milliseconds timeout);
    bool done() const { return done_; }
    // Valid once done: empty when the page's text file is there; otherwise why there is none (the
    // user's words) and neither the text file nor its partial file is there.
    const QString &failure() const { return failure_; }

private:
    void finish(const DecoderRun &run);

    std::filesystem::path text_;
    std::filesystem::path partial_;
    std::unique_ptr<HelperRun> run_;
    QElapsedTimer clock_;
    QString failure_;
    bool done_ = false;
};

} // namespace pagemint
