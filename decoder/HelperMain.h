#pragma once
// What the decoder helpers share around their one decode: the sandbox, and the answer on stderr
// and in the exit code.

#include "contract/DecodeOutcome.h"

#include <functional>

namespace pagemint::decoder {

// Prints the usage line and returns ExitCode::Usage.
int reportUsage(const char *usage);

// Enters the sandbox now and returns what runs `decode` in it and reports its outcome: one line on
// stderr when refused, and the exit code. The fork server's children enter the sandbox before
// their picture arrives.
std::function<int()> sandboxedHelper(std::function<DecodeOutcome()> decode);

// Enters the sandbox, runs `decode` and reports its outcome.
int finishHelper(const std::function<DecodeOutcome()> &decode);

} // namespace pagemint::decoder
