// pagemint-fallback-decoder < PICTURE > PAGE
// The second reader (FallbackDecoder.h), run by the program only after pagemint-decoder could not
// load a picture. Same interface, limits and answers as pagemint-decoder.

#include "FallbackDecoder.h"
#include "HelperMain.h"

#include <FreeImage.h>

using namespace pagemint::decoder;

int main(int argc, char **)
{
    if (argc != 1)
        return reportUsage("pagemint-fallback-decoder < PICTURE > PAGE");
    FreeImage_Initialise(FALSE);
    FallbackDecoder decoder(stdin);
    return finishHelper([&decoder] { return decoder.decode(stdout); });
}
