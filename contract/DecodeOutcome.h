#pragma once
// What pagemint-decoder reports. The exit code is the program's whole answer; on a refusal the
// reason is also printed as one line on stderr, which StagePage shows the user as is.

#include <string>

namespace pagemint::decoder {

// Exit codes of pagemint-decoder; each means one thing.
enum class ExitCode : int {
    Written = 0,          // TARGET holds the new JPEG
    Usage = 1,            // wrong arguments
    Unreadable = 2,       // empty or unreadable source
    UnknownFormat = 3,    // the bytes name no format or kind this reader reads (the other reader may)
    TooLarge = 4,         // over the limits of PictureLimits.h, or no size at all
    Damaged = 5,          // read, but pixels are missing
    NotConvertible = 6,   // loaded, but could not be turned into 24-bit colour
    WriteFailed = 7,      // the JPEG could not be written
    LoaderFailed = 8,     // this reader could not read it; another reader may
    SandboxFailed = 9,    // the helper could not give up its rights, so it read nothing
    UnsupportedKind = 10, // a valid picture of a kind neither reader takes (2-bit BMP, 12-bit JPEG...)
};

struct DecodeOutcome {
    ExitCode code = ExitCode::Written;
    std::string reason; // in the words of Reasons.h, empty when written

    static DecodeOutcome written() { return {}; }
    static DecodeOutcome refused(ExitCode code, std::string reason) { return {code, std::move(reason)}; }
    bool ok() const { return code == ExitCode::Written; }
};

} // namespace pagemint::decoder
