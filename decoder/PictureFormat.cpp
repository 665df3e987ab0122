#include "PictureFormat.h"

#include <algorithm>
#include <array>

namespace pagemint::decoder {

namespace {
struct Accepted {
    FREE_IMAGE_FORMAT format;
    const char *name;
};

constexpr std::array<Accepted, 6> kAccepted{{
    {FIF_BMP, "BMP"},
    {FIF_JPEG, "JPEG"},
    {FIF_GIF, "GIF"},
    {FIF_PNG, "PNG"},
    {FIF_TIFF, "TIFF"},
    {FIF_WEBP, "WebP"},
}};

const Accepted *find(FREE_IMAGE_FORMAT format)
{
    const auto found = std::find_if(kAccepted.begin(), kAccepted.end(),
                                    [format](const Accepted &entry) { return entry.format == format; });
    return found == kAccepted.end() ? nullptr : &*found;
}
} // namespace

FREE_IMAGE_FORMAT acceptedFormat(FreeImageIO &io, fi_handle handle)
{
    const FREE_IMAGE_FORMAT sniffed = FreeImage_GetFileTypeFromHandle(&io, handle, 0);
    io.seek_proc(handle, 0, SEEK_SET);
    return find(sniffed) != nullptr ? sniffed : FIF_UNKNOWN;
}

const char *formatName(FREE_IMAGE_FORMAT format)
{
    const Accepted *entry = find(format);
    return entry != nullptr ? entry->name : "unknown";
}

} // namespace pagemint::decoder
