#pragma once
// One run of a decoder helper on one picture, watched without blocking so that several can run at
// once: a child of the decoder server, or the helper started as a program of its own (the second
// reader always; the first when there is no server).

#include "DecoderProcess.h"
#include "contract/DecodeForm.h"
#include "contract/PictureLimits.h"
#include "contract/Reasons.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace pagemint {

// The shared words (contract/Reasons.h) for a helper's endings that it cannot put in its own.
struct HelperWords {
    std::string_view crashed;
    std::string_view failed; // a non-zero exit with nothing on stderr
    std::string_view notStarted;
};
inline constexpr HelperWords kDecoderWords{reason::kDecoderCrashed, reason::kDecoderFailed, reason::kDecoderNotStarted};

// A helper started as a program of its own on one input and one output descriptor.
struct HelperProgram {
    QString path;
    QStringList arguments;
    std::uint64_t addressSpaceLimit = kDecoderAddressSpaceLimit;
    QStringList environment; // "NAME=value" on top of the program's own
    HelperWords words = kDecoderWords;
};

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
    // `program` with `input` on its stdin and `output` on its stdout, under its address-space cap.
    static std::unique_ptr<HelperRun> asProgram(const HelperProgram &program, int input, int output);

    // The ending once the helper is over; never blocks. Kill()ed runs need not be polled again.
    virtual std::optional<DecoderRun> poll() = 0;
    // Ends the helper at once.
    virtual void kill() = 0;
    // Waits up to `timeout` for news of this run.
    virtual void wait(std::chrono::milliseconds timeout) = 0;
};

} // namespace pagemint
