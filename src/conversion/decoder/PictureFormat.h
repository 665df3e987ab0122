#pragma once
// Which FreeImage loader reads a file: its bytes decide first, because pictures are often saved
// under the wrong extension; the extension is asked only when the bytes name nothing.

#include <FreeImage.h>

#include <string>

namespace pagemint::decoder {

// Format named by the extension of `path` (case-insensitive); FIF_UNKNOWN for any other.
FREE_IMAGE_FORMAT formatFromExtension(const std::string &path);

// Format of the file at `path`: from its signature, else from its extension.
FREE_IMAGE_FORMAT detectFormat(const std::string &path);

} // namespace pagemint::decoder
