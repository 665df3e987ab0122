// pagemint-decoder < PICTURE > PAGE
// pagemint-decoder --serve            (standard input: the socket of DecoderServerProtocol.h)
// Writes the picture on its standard input as a JPEG page to its standard output and exits 0, or
// prints one line with the reason on stderr and exits with one of the codes in DecodeOutcome.h.
// The caller opens both files, runs it with a memory cap and a time limit, and takes any signal
// or time-out to mean the picture could not be read. With --serve it loads FreeImage once and
// does the same in a forked child per request (DecodeServer.h), saving each picture the start-up.

#include "DecodeServer.h"
#include "HelperMain.h"
#include "LoaderMessages.h"
#include "PageDecoder.h"
#include "contract/DecodeOutcome.h"
#include "contract/DecoderServerProtocol.h"

#include <FreeImage.h>

#include <cstdio>
#include <cstring>

using namespace pagemint::decoder;

namespace {
int decodeStandardStreams()
{
    return finishHelper([] { return decodePage(stdin, stdout); });
}
} // namespace

int main(int argc, char **argv)
{
    const bool serve = argc == 2 && std::strcmp(argv[1], kServeArgument) == 0;
    if (argc != 1 && !serve)
        return reportUsage("pagemint-decoder < PICTURE > PAGE  |  pagemint-decoder --serve");
    // Children inherit the initialised library and the handlers from the server.
    FreeImage_Initialise(FALSE);
    installLoaderMessageHandlers();
    return serve ? serveDecodes(0, decodeStandardStreams) : decodeStandardStreams();
}
