#pragma once
// What a decoder helper makes of a picture: the page a job stages for the converter, or the
// thumbnail the list shows while the pointer rests on an entry. A thumbnail is the page's picture
// (laid on white as the page is), turned upright as the converter would turn it (by its EXIF
// orientation; the user's own turn is the program's to add), its longer side at most
// kThumbnailSide pixels, written as a JPEG. Standard library only.

#include <cstdint>
#include <string_view>

namespace pagemint::decoder {

enum class DecodeForm : std::int32_t { Page = 0, Thumbnail = 1 };

inline constexpr int kThumbnailSide = 256;
// A decoder's thumbnail is never larger than this; the program refuses to load a larger answer.
inline constexpr std::int64_t kMaxThumbnailBytes = 1024 * 1024;

// The helper programs' argument for a thumbnail; a page takes none.
inline constexpr std::string_view kThumbnailArgument = "--thumbnail";

} // namespace pagemint::decoder
