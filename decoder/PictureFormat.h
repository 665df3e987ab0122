#pragma once
// Which FreeImage loader reads a picture. Only the bytes decide (pictures are often saved under
// the wrong extension), and only the formats the program offers are read: FreeImage has loaders
// for thirty more, several of which corrupt memory or never return on hostile files, and a file
// named .png must not reach them.

#include <FreeImage.h>

namespace pagemint::decoder {

// BMP, JPEG, GIF, PNG, TIFF or WebP as the signature at the start of `handle` names it; FIF_UNKNOWN for
// anything else. Leaves the handle at the start.
FREE_IMAGE_FORMAT acceptedFormat(FreeImageIO &io, fi_handle handle);

// Printable name of an accepted format, for messages.
const char *formatName(FREE_IMAGE_FORMAT format);

} // namespace pagemint::decoder
