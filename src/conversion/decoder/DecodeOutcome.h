#pragma once
// What pagemint-decoder reports. The exit code is the program's whole answer; on a refusal the
// reason is also printed as one line on stderr, which StagePage shows the user as is.

#include <string>

namespace pagemint::decoder {

// Exit codes of pagemint-decoder; each means one thing.
enum class ExitCode : int {
    Written = 0,         // TARGET holds the new JPEG
    Usage = 1,           // wrong arguments
    Unreadable = 2,      // missing, empty or unopenable source
    UnknownFormat = 3,   // neither the bytes nor the extension name a format we read
    TooLarge = 4,        // width x height over kMaxPixels, or no size at all
    Damaged = 5,         // the loader failed or reported an error while reading
    NotConvertible = 6,  // loaded, but could not be turned into 24-bit colour
    WriteFailed = 7,     // the JPEG could not be written or moved into place
};

struct DecodeOutcome {
    ExitCode code = ExitCode::Written;
    std::string reason; // short English text, empty when written

    static DecodeOutcome written() { return {}; }
    static DecodeOutcome refused(ExitCode code, std::string reason) { return {code, std::move(reason)}; }
    bool ok() const { return code == ExitCode::Written; }
};

} // namespace pagemint::decoder
