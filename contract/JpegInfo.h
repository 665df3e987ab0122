#pragma once
// Reads what the PDF writer needs from a JPEG's markers, without decoding a single pixel. This is
// the project's one answer to "can this file go into a PDF byte for byte?": the program's page
// staging and the converter both ask it. Standard library only.

#include <cstdint>
#include <filesystem>
#include <functional>
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

// Reads the markers of a JPEG held in `data` (the whole file) without decoding it. False, with the
// reason in the user's words (Reasons.h), when it is not a JPEG a PDF reader can show.
bool inspectJpeg(std::span<const unsigned char> data, JpegInfo &info, std::string &reason);

// Same for a file, read in pieces with pread (JpegFile.cpp).
bool inspectJpegFile(const std::filesystem::path &path, JpegInfo &info, std::string &reason);
#ifndef _WIN32
// Same for an open file, which stays open.
bool inspectJpegDescriptor(int fd, JpegInfo &info, std::string &reason);
#endif

// Fills `into` with the bytes at `offset`; false with a reason when they cannot be read.
using ReadAt = std::function<bool(std::uint64_t offset, std::span<unsigned char> into, std::string &reason)>;

struct PieceSizes {
    std::size_t head = 4 * 1024; // read past what the walk asks for: most headers fit
    std::size_t tail = 4 * 1024; // the first read from the back: the end marker is nearly always last
};
// No read asks for more than this and `head` together, so memory stays flat whatever the file
// holds: the walk skips each segment it has no use for by its length, and a segment it reads is
// at most 64 KB.
inline constexpr std::size_t kLargestJpegRead = 64 * 1024;

// What inspectJpeg says of the `size` bytes `read` gives, reading only the pieces it needs: the
// markers from the front, the segments the page uses (frame, JFIF, EXIF, Adobe), then from the
// back as far as the end marker.
bool inspectJpegPieces(const ReadAt &read, std::uintmax_t size, JpegInfo &info, std::string &reason,
                       PieceSizes sizes = {});

// True when the data after the first scan ends in an end marker. A cut-off JPEG has none; a
// decoder fills its missing rows with grey and may not say so.
bool jpegHasEndMarker(std::span<const unsigned char> data);

} // namespace pagemint
