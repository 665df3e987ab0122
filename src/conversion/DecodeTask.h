#pragma once
// runDecoder without the wait: the two readers one after the other on one picture, moved on by
// advance() so that a caller can keep several pictures decoding at once.

#include "DecoderProcess.h"
#include "HelperRun.h"

#include <QElapsedTimer>
#include <QString>

#include <filesystem>
#include <memory>
#include <optional>

namespace pagemint {

class DecodeTask {
public:
    // Starts decoding `source` into `target` (written as "<target>.part", renamed when whole), as
    // a page or as a thumbnail.
    DecodeTask(const QString &source, std::filesystem::path target,
               decoder::DecodeForm form = decoder::DecodeForm::Page);
    ~DecodeTask();
    DecodeTask(const DecodeTask &) = delete;
    DecodeTask &operator=(const DecodeTask &) = delete;

    // Checks on the helper without blocking; true once the result is known. Past the time limit
    // the helper is killed; once the job is cancelled it is, and once the program is asked to end,
    // it and the decoder server are.
    bool advance();
    // Waits up to `timeout` for news of the helper (at once when done).
    void wait(std::chrono::milliseconds timeout);
    // Waits for the result, handling Qt events meanwhile (the caller is the UI thread).
    const DecoderRun &waitHandlingEvents();
    bool done() const { return done_; }
    // Valid once done: the page is then at `target`, or nothing is there nor at the .part name.
    const DecoderRun &result() const { return result_; }

private:
    enum class Reader { First, Second };
    // Opens the picture and a fresh .part file and starts a helper on them; the refusal when the
    // files could not be opened.
    std::optional<DecoderRun> startRun(Reader reader, bool viaServer);
    void onEnded(DecoderRun run);
    void finish(DecoderRun run);

    QString source_;
    std::filesystem::path target_;
    decoder::DecodeForm form_;
    std::filesystem::path partial_;
    Reader reader_ = Reader::First;
    std::unique_ptr<HelperRun> run_;
    bool viaServer_ = false;
    QElapsedTimer clock_;
    DecoderRun first_; // the first reader's verdict while the second reads
    DecoderRun result_;
    bool done_ = false;
};

} // namespace pagemint
