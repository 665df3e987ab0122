#pragma once
// FreeImage reads and writes through these on an open stdio stream: the helper is handed its
// picture and its page as open descriptors and never opens a path itself.

#include <FreeImage.h>

#include <cstdio>

namespace pagemint::decoder {

FreeImageIO &stdioFunctions();

inline fi_handle handleOf(std::FILE *stream)
{
    return static_cast<fi_handle>(stream);
}

} // namespace pagemint::decoder
