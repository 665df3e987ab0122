// pagemint-fallback-decoder [--thumbnail] < PICTURE > PAGE
// The second reader, run by the program only after pagemint-decoder could not load a picture or
// did not know its format: HEIC and AVIF through libheif (HeifDecoder.h), BMP and PNG through
// Qt's reader (FallbackDecoder.h). Same interface, limits and answers as pagemint-decoder.

#include "FallbackDecoder.h"
#include "HeifDecoder.h"
#include "HelperMain.h"
#include "PageWriter.h"
#include "sandbox/Sandbox.h"

#include <FreeImage.h>

using namespace pagemint::decoder;

int main(int argc, char **argv)
{
    const bool thumbnail = argc == 2 && argv[1] == kThumbnailArgument;
    if (argc != 1 && !thumbnail)
        return reportUsage("pagemint-fallback-decoder [--thumbnail] < PICTURE > PAGE");
    if (thumbnail)
        setDecodeForm(DecodeForm::Thumbnail);
    FreeImage_Initialise(FALSE);
    // Both readers load what they need now, before the sandbox closes the file system; the
    // picture's bytes, even the few that name its format, are read only inside it.
    prepareHeif();
    FallbackDecoder::prepare();
    return finishHelper(pagemint::sandbox::enterSandbox, [] {
        if (isHeif(stdin))
            return decodeHeif(stdin, stdout);
        FallbackDecoder decoder(stdin);
        return decoder.decode(stdout);
    });
}
