#include "PictureFormat.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace pagemint::decoder {

namespace {
struct ExtensionFormat {
    std::string_view extension;
    FREE_IMAGE_FORMAT format;
};

// The picture types the program offers; nothing else is guessed from a name.
constexpr std::array<ExtensionFormat, 12> kExtensions{{
    {"bmp", FIF_BMP},
    {"dib", FIF_BMP},
    {"jpg", FIF_JPEG},
    {"jpeg", FIF_JPEG},
    {"gif", FIF_GIF},
    {"png", FIF_PNG},
    {"ico", FIF_ICO},
    {"tif", FIF_TIFF},
    {"tiff", FIF_TIFF},
    {"iff", FIF_IFF},
    {"pcx", FIF_PCX},
    {"psd", FIF_PSD},
}};

std::string lowerExtension(const std::string &path)
{
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}
} // namespace

FREE_IMAGE_FORMAT formatFromExtension(const std::string &path)
{
    const std::string extension = lowerExtension(path);
    const auto found = std::find_if(kExtensions.begin(), kExtensions.end(),
                                    [&](const ExtensionFormat &entry) { return entry.extension == extension; });
    return found == kExtensions.end() ? FIF_UNKNOWN : found->format;
}

FREE_IMAGE_FORMAT detectFormat(const std::string &path)
{
    const FREE_IMAGE_FORMAT fromBytes = FreeImage_GetFileType(path.c_str(), 0);
    return fromBytes != FIF_UNKNOWN ? fromBytes : formatFromExtension(path);
}

} // namespace pagemint::decoder
