#include "HelperMain.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace pagemint::decoder {

namespace {
// The caller shows this line to the user; loader messages may carry their own line breaks.
std::string oneLine(std::string text)
{
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

DecodeOutcome decodeInSandbox(const sandbox::SandboxEntry &enter, const std::function<DecodeOutcome()> &decode)
{
    // A helper that cannot shut itself in does not look at the picture.
    if (std::string failure; !enter(failure))
        return DecodeOutcome::refused(ExitCode::SandboxFailed, "cannot enter the sandbox: " + failure);
    return decode();
}
} // namespace

int reportUsage(const char *usage)
{
    std::fprintf(stderr, "usage: %s\n", usage);
    return static_cast<int>(ExitCode::Usage);
}

int finishHelper(const sandbox::SandboxEntry &enter, const std::function<DecodeOutcome()> &decode)
{
    const DecodeOutcome outcome = decodeInSandbox(enter, decode);
    if (!outcome.ok())
        std::fprintf(stderr, "%s\n", oneLine(outcome.reason).c_str());
    return static_cast<int>(outcome.code);
}

} // namespace pagemint::decoder
