#pragma once
// Runs pagemint-decoder on one picture, and pagemint-fallback-decoder when FreeImage could not load
// it. FreeImage crashes, loops and allocates gigabytes on hostile files, so every picture gets a
// fresh child with an address-space cap and a wall-clock limit; the caller's process never runs
// the loaders. The child is handed the open picture and page, not their names. The first reader's
// child is forked by the decoder server (DecoderServer.h) when there is one, else started as a
// program; the second reader is always a program of its own. Waiting keeps processing Qt events,
// because StagePage is called on the UI thread; DecodeTask.h runs several at once.

#include "contract/PictureLimits.h" // kDecoderAddressSpaceLimit

#include <QString>

#include <chrono>
#include <cstdint>

namespace pagemint {

// Decoding a 6 MP picture takes about 0.2 s; a loader still busy after this is looping.
inline constexpr std::chrono::milliseconds kDecoderTimeLimit{30'000};

enum class DecoderEnding {
    Written,    // exit 0
    Refused,    // non-zero exit (the reason is the decoder's own line), or a file could not be opened
    Crashed,    // ended by a signal (memory cap, corrupted heap, ...)
    TimedOut,   // killed after the time limit
    Cancelled,  // killed at once because the program is ending or the job was cancelled
    NotStarted, // the helper is missing or cannot be run
};

struct DecoderRun {
    DecoderEnding ending = DecoderEnding::NotStarted;
    int exitCode = -1;
    QString reason; // why nothing was written; once written, the helper's last word on stderr, if any

    bool written() const { return ending == DecoderEnding::Written; }
};

// Decodes `source` into a JPEG page at `target`, written under a temporary name and renamed when
// whole. On failure `target` is untouched and the temporary file gone.
DecoderRun runDecoder(const QString &source, const QString &target);

// <application folder>/data/pagemint-decoder, unless a test set another path.
QString decoderPath();

// pagemint-fallback-decoder, beside decoderPath().
QString fallbackDecoderPath();

// How the first reader's child comes to be: forked by the decoder server (the program's way), or
// started as a program per picture (what the program falls back to without a server).
enum class DecoderLaunch { Server, ProgramPerPicture };
DecoderLaunch decoderLaunch();
std::chrono::milliseconds decoderTimeLimit();

// Tests and benchmarks compare both launches; Server restores the default.
void setDecoderLaunchForTesting(DecoderLaunch launch);
// Tests run from their own folder; an empty path restores the default.
void setDecoderPathForTesting(const QString &path);
// Lets a test stop a looping decoder in seconds; zero restores kDecoderTimeLimit.
void setDecoderTimeLimitForTesting(std::chrono::milliseconds limit);

} // namespace pagemint
