#pragma once
// What the decoder helpers share around their one decode: the sandbox, and the answer on stderr
// and in the exit code.

#include "contract/DecodeOutcome.h"
#include "sandbox/Sandbox.h"

#include <functional>

namespace pagemint::decoder {

// Prints the usage line and returns ExitCode::Usage.
int reportUsage(const char *usage);

// Enters the sandbox with `enter` (a helper program: the whole of it, enterSandbox), runs `decode`
// and reports its outcome: one line on stderr when refused. Returns the exit code.
int finishHelper(const sandbox::SandboxEntry &enter, const std::function<DecodeOutcome()> &decode);

} // namespace pagemint::decoder
