#pragma once
// What the decoder helpers share around their one decode: the sandbox, and the answer on stderr
// and in the exit code.

#include "contract/DecodeOutcome.h"

#include <functional>
#include <string>

namespace pagemint::decoder {

// Prints the usage line and returns ExitCode::Usage.
int reportUsage(const char *usage);

// How a helper shuts itself in before it reads the picture: false, with the reason, if it cannot.
using SandboxEntry = std::function<bool(std::string &failure)>;

// Enters the sandbox with `enter` (a helper program: the whole of it, enterSandbox), runs `decode`
// and reports its outcome: one line on stderr when refused. Returns the exit code.
int finishHelper(const SandboxEntry &enter, const std::function<DecodeOutcome()> &decode);

} // namespace pagemint::decoder
