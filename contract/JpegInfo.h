#pragma once
// Reads what the PDF writer needs from a JPEG's markers, without decoding a single pixel. This is
// the project's one answer to "can this file go into a PDF byte for byte?": the program's page
// staging and the converter both ask it. Standard library only.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace pagemint {

struct JpegInfo {
    int width = 0;
    int height = 0;
    int components = 0;       // 1 gray, 3 YCbCr/RGB, 4 CMYK/YCCK
    int bitsPerComponent = 8; // always 8 for an accepted file
    bool progressive = false;
    bool adobeInverted = false; // Adobe APP14 on a 4-component file: CMYK is stored inverted
    bool hasAdobeMarker = false;
    int adobeTransform = -1; // APP14 colour transform, -1 when there is no APP14
    double dpiX = 0;         // 0 when the file states no usable resolution
    double dpiY = 0;
    int orientation = 1;         // EXIF orientation 1..8; 1 when missing or invalid
    std::uintmax_t fileSize = 0; // bytes inspected (the whole file)
};

// Reads the markers of a JPEG held in `data` (the whole file) without decoding it. False, with a
// short English reason, when it is not a JPEG a PDF reader can show.
bool inspectJpeg(std::span<const unsigned char> data, JpegInfo &info, std::string &reason);

// Same for a file. Only the header and the end of the file are read (JpegFile.cpp), so inspecting
// thousands of large files stays cheap.
bool inspectJpegFile(const std::filesystem::path &path, JpegInfo &info, std::string &reason);

// The two halves of inspectJpeg, for a reader that holds only pieces of the file.
// The header walk over `head`, the first bytes of a file of `fileSize` bytes: NeedMore when the
// markers run past `head`; Done with `scanStart`, where the picture data begins.
enum class HeaderWalk { Done, Refused, NeedMore };
HeaderWalk inspectJpegHeader(std::span<const unsigned char> head, std::uintmax_t fileSize, JpegInfo &info,
                             std::string &reason, std::size_t &scanStart);
// True when `bytes`, a piece of the file after `scanStart`, hold an end marker (FF D9).
bool holdsEndMarker(std::span<const unsigned char> bytes);
inline constexpr const char *kNoEndMarker = "truncated (no end marker)";

// True when the data after the first scan ends in an end marker. A cut-off JPEG has none; a
// decoder fills its missing rows with grey and may not say so.
bool jpegHasEndMarker(std::span<const unsigned char> data);

} // namespace pagemint
