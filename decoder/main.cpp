// pagemint-decoder < PICTURE > PAGE
// Writes the picture on its standard input as a JPEG page to its standard output and exits 0, or
// prints one line with the reason on stderr and exits with one of the codes in DecodeOutcome.h.
// The caller opens both files, runs it with a memory cap and a time limit, and takes any signal
// or time-out to mean the picture could not be read.

#include "contract/DecodeOutcome.h"
#include "HelperMain.h"
#include "LoaderMessages.h"
#include "PageDecoder.h"

#include <FreeImage.h>

#include <cstdio>

using namespace pagemint::decoder;

int main(int argc, char **)
{
    if (argc != 1)
        return reportUsage("pagemint-decoder < PICTURE > PAGE");
    FreeImage_Initialise(FALSE);
    installLoaderMessageHandlers();
    return finishHelper([] { return decodePage(stdin, stdout); });
}
