#pragma once
// The second reader: Qt's image reader, for BMP and PNG files FreeImage cannot load or leaves to it
// (the V4 and V5 headers common tools write today, run-length data). It takes the program's own
// limits (PictureLimits.h) instead of Qt's allocation limit, and is only run after FreeImage
// failed, so it costs nothing on pictures FreeImage reads.

#include "contract/DecodeOutcome.h"

#include <cstdio>

namespace pagemint::decoder {

class FallbackDecoder {
public:
    // Finds Qt's image plug-ins and loads them; call before the sandbox closes the file system.
    static void prepare();

    // Prepares a reader of `source` without reading the picture.
    explicit FallbackDecoder(std::FILE *source);

    // Decodes the picture and writes the page to `target` as the first reader does; refused as
    // not a supported picture when the bytes name no format this reader takes.
    DecodeOutcome decode(std::FILE *target);

private:
    std::FILE *source_;
};

} // namespace pagemint::decoder
