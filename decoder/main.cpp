// pagemint-decoder [--thumbnail] < PICTURE > PAGE
// pagemint-decoder --serve            (standard input: the socket of DecoderServerProtocol.h)
// Writes the picture on its standard input as a JPEG page (or thumbnail, DecodeForm.h) to its
// standard output and exits 0, or
// prints one line with the reason on stderr and exits with one of the codes in DecodeOutcome.h.
// The caller opens both files, runs it with a memory cap and a time limit, and takes any signal
// or time-out to mean the picture could not be read. With --serve it loads FreeImage once and
// does the same in a forked child per request (DecodeServer.h), saving each picture the start-up.

#include "DecodeServer.h"
#include "HelperMain.h"
#include "LoaderMessages.h"
#include "PageDecoder.h"
#include "PageWriter.h"
#include "contract/DecodeOutcome.h"
#include "contract/DecoderServerProtocol.h"
#include "sandbox/Sandbox.h"

#include <FreeImage.h>

#include <cstdio>
#include <cstring>
#include <string>

using namespace pagemint::decoder;

namespace {
DecodeOutcome decodeStandardStreams()
{
    return decodePage(stdin, stdout);
}

// The server shuts itself in once, before the first request; each child forked from it adds only
// the step that names it.
int serve()
{
    const pagemint::sandbox::SandboxEntry enterChild = pagemint::sandbox::enterServerSandbox();
    return serveDecodes(0, [&](DecodeForm form) {
        setDecodeForm(form);
        return finishHelper(enterChild, decodeStandardStreams);
    });
}
} // namespace

int main(int argc, char **argv)
{
    const bool serving = argc == 2 && std::strcmp(argv[1], kServeArgument) == 0;
    const bool thumbnail = argc == 2 && argv[1] == kThumbnailArgument;
    if (argc != 1 && !serving && !thumbnail)
        return reportUsage("pagemint-decoder [--thumbnail] < PICTURE > PAGE  |  pagemint-decoder --serve");
    if (thumbnail)
        setDecodeForm(DecodeForm::Thumbnail);
    // Children inherit the initialised library and the handlers from the server.
    FreeImage_Initialise(FALSE);
    installLoaderMessageHandlers();
    return serving ? serve() : finishHelper(pagemint::sandbox::enterSandbox, decodeStandardStreams);
}
