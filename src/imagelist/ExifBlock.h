#pragma once
// Finds the EXIF block (its TIFF structure) of a JPEG or a HEIF/AVIF file without decoding
// anything: a few small reads at offsets the file gives, each checked, so a hostile file costs at
// most a few reads of bounded size.

#include <QByteArray>

#include <functional>
#include <optional>

namespace pagemint {

// Up to `size` bytes at `offset`; fewer (or none) where the file ends or cannot be read.
using ReadBytesAt = std::function<QByteArray(qint64 offset, qint64 size)>;

// The largest EXIF block read: a JPEG segment holds at most 64 KB, a HEIF Exif item rarely more.
inline constexpr qint64 kLargestExifBlock = 1024 * 1024;

// A JPEG's first APP1 "Exif" segment, walked from the start marker up to the first scan.
std::optional<QByteArray> jpegExifBlock(const ReadBytesAt &read);

// The item of type 'Exif' of an ISOBMFF file (HEIC, HEIF, AVIF): 'ftyp' first, the top-level
// 'meta' box's 'iinf' names the item and its 'iloc' says where its bytes lie (in the file or in
// 'idat'). A block larger than kLargestExifBlock is cut there.
std::optional<QByteArray> heifExifBlock(const ReadBytesAt &read);

// Whichever of the two the file's first bytes say it is.
std::optional<QByteArray> exifBlock(const ReadBytesAt &read);

} // namespace pagemint
