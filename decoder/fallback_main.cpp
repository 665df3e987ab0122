// pagemint-fallback-decoder < PICTURE > PAGE
// The second reader, run by the program only after pagemint-decoder could not load a picture or
// did not know its format: HEIC and AVIF through libheif (HeifDecoder.h), BMP and PNG through
// Qt's reader (FallbackDecoder.h). Same interface, limits and answers as pagemint-decoder.

#include "FallbackDecoder.h"
#include "HeifDecoder.h"
#include "HelperMain.h"
#include "Sandbox.h"

#include <FreeImage.h>

#include <optional>

using namespace pagemint::decoder;

int main(int argc, char **)
{
    if (argc != 1)
        return reportUsage("pagemint-fallback-decoder < PICTURE > PAGE");
    FreeImage_Initialise(FALSE);
    // Each reader loads what it needs now, before the sandbox closes the file system.
    if (isHeif(stdin)) {
        prepareHeif();
        return finishHelper(enterSandbox, [] { return decodeHeif(stdin, stdout); });
    }
    FallbackDecoder decoder(stdin);
    return finishHelper(enterSandbox, [&decoder] { return decoder.decode(stdout); });
}
