// pagemint-decoder SOURCE TARGET
// Writes SOURCE as a JPEG page to TARGET and exits 0, or prints one line with the reason on stderr
// and exits with one of the codes in DecodeOutcome.h. The caller runs it with a memory cap and a
// time limit: any signal or time-out means the picture could not be read.

#include "DecodeOutcome.h"
#include "LoaderMessages.h"
#include "PageDecoder.h"

#include <FreeImage.h>

#include <algorithm>
#include <cstdio>
#include <string>

using namespace pagemint::decoder;

namespace {
// The caller shows this line to the user; loader messages may carry their own line breaks.
std::string oneLine(std::string text)
{
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}
} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fputs("usage: pagemint-decoder SOURCE TARGET\n", stderr);
        return static_cast<int>(ExitCode::Usage);
    }
    FreeImage_Initialise(FALSE);
    installLoaderMessageHandlers();
    const DecodeOutcome outcome = decodePage(argv[1], argv[2]);
    FreeImage_DeInitialise();
    if (!outcome.ok())
        std::fprintf(stderr, "%s\n", oneLine(outcome.reason).c_str());
    return static_cast<int>(outcome.code);
}
