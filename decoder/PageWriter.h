#pragma once
// Every decoded page is made and written the same way, whichever reader decoded it: laid on white
// paper, 24-bit colour, FreeImage's JPEG writer with flags 0 (baseline, quality 75).

#include "ImageHandle.h"
#include "contract/DecodeForm.h"
#include "contract/DecodeOutcome.h"

#include <cstdint>
#include <cstdio>

namespace pagemint::decoder {

// A helper process makes one picture, so what it makes of it is set once, before its reader runs:
// the page (the default) or the thumbnail (DecodeForm.h).
void setDecodeForm(DecodeForm chosen);
DecodeForm decodeForm();
// The EXIF orientation (1..8) the reader found in the picture; a thumbnail is turned upright by it.
void setPictureOrientation(int orientation);

// Turns the decoded `picture` (empty when it could not be made) into the page, or the thumbnail,
// and writes it to `target`: the one ending of every reader.
DecodeOutcome writePictureAsPage(ImageHandle picture, std::FILE *target);

// Writes the opaque page whose `height` rows of `width` RGB pixels start `stride` bytes apart at
// `rows`, top first: the bytes writePictureAsPage writes for it, without a FreeImage bitmap.
DecodeOutcome writeRgbRowsAsPage(const std::uint8_t *rows, int width, int height, int stride, std::FILE *target);

// Writes the 24-bit `page` as a JPEG to `target` and flushes it; a full disk is named as such.
DecodeOutcome writePage(FIBITMAP *page, std::FILE *target);

// The outcome of a page that could not be written, for the system's `error` (errno).
DecodeOutcome writeFailed(int error);

} // namespace pagemint::decoder
