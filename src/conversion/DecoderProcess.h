#pragma once
// Runs pagemint-decoder on one picture. FreeImage crashes, loops and allocates gigabytes on hostile
// files, so every picture gets a fresh child with an address-space cap and a wall-clock limit; the
// caller's process never runs the loaders. Waiting keeps processing Qt events, because StagePage
// is called on the UI thread.

#include <QString>

#include <chrono>
#include <cstdint>

namespace pagemint {

// Address-space cap of the decoder child: about 2 GB holds the largest picture the decoder
// accepts through its conversions, and turns a lying header's 12 GB request into a refusal.
inline constexpr std::uint64_t kDecoderAddressSpaceLimit = 2ull << 30;
// Decoding a 6 MP picture takes about 0.2 s; a loader still busy after this is looping.
inline constexpr std::chrono::milliseconds kDecoderTimeLimit{30'000};

enum class DecoderEnding {
    Written,    // exit 0
    Refused,    // non-zero exit; the reason is the decoder's own line
    Crashed,    // ended by a signal (memory cap, corrupted heap, ...)
    TimedOut,   // killed after the time limit
    NotStarted, // the helper is missing or cannot be run
};

struct DecoderRun {
    DecoderEnding ending = DecoderEnding::NotStarted;
    int exitCode = -1;
    QString reason; // short English text when nothing was written

    bool written() const { return ending == DecoderEnding::Written; }
};

// Decodes `source` into a JPEG page at `target`. On failure `target` may be untouched or gone,
// never half written by the decoder.
DecoderRun runDecoder(const QString &source, const QString &target);

// <application folder>/data/pagemint-decoder, unless a test set another path.
QString decoderPath();

// Tests run from their own folder; an empty path restores the default.
void setDecoderPathForTesting(const QString &path);
// Lets a test stop a looping decoder in seconds; zero restores kDecoderTimeLimit.
void setDecoderTimeLimitForTesting(std::chrono::milliseconds limit);

} // namespace pagemint
