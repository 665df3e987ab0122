#pragma once
// The second reader: Qt's image reader, for BMP and PNG files FreeImage cannot load (it reads
// only the oldest BMP headers, not the V4 and V5 headers common tools write today, nor RLE8). It
// keeps Qt's own allocation limit and the helper's caps, and is only run after FreeImage failed,
// so it costs nothing on pictures FreeImage reads.

#include "contract/DecodeOutcome.h"

#include <QFile>
#include <QImageReader>

#include <cstdio>

namespace pagemint::decoder {

class FallbackDecoder {
public:
    // Finds Qt's image plug-ins and loads them; call before the sandbox closes the file system.
    static void prepare();

    // Prepares a reader on `source` when its bytes are one of the formats above.
    explicit FallbackDecoder(std::FILE *source);

    // Decodes the picture and writes the page to `target` as the first reader does; refused as
    // not a supported picture when the bytes named no format this reader takes.
    DecodeOutcome decode(std::FILE *target);

private:
    QFile input_;
    QImageReader reader_;
    bool recognised_ = false;
};

} // namespace pagemint::decoder
