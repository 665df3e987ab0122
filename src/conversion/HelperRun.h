#pragma once
// One run of a decoder helper on one picture, watched without blocking so that several can run at
// once: a child of the decoder server, or the helper started as a program of its own (the second
// reader always; the first when there is no server).

#include "DecoderProcess.h"
#include "contract/DecodeForm.h"

#include <QString>

#include <chrono>
#include <memory>
#include <optional>

namespace pagemint {

class HelperRun {
public:
    virtual ~HelperRun() = default;
    // A child of the decoder server, or null when there is none to be had. Ends as NotStarted when
    // the server could not start it or died before its end was heard.
    static std::unique_ptr<HelperRun> viaServer(int picture, int page,
                                                decoder::DecodeForm form = decoder::DecodeForm::Page);
    // `program` with the picture on its stdin and the page on its stdout, under the same limits.
    static std::unique_ptr<HelperRun> asProgram(const QString &program, int picture, int page,
                                                decoder::DecodeForm form = decoder::DecodeForm::Page);

    // The ending once the helper is over; never blocks. Kill()ed runs need not be polled again.
    virtual std::optional<DecoderRun> poll() = 0;
    // Ends the helper at once.
    virtual void kill() = 0;
    // Waits up to `timeout` for news of this run.
    virtual void wait(std::chrono::milliseconds timeout) = 0;
};

} // namespace pagemint
