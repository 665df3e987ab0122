#pragma once
// When a picture was taken, for sorting a list by it: the camera's EXIF date, or else the file's
// modification time.

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace pagemint {

// DateTimeOriginal (tag 0x9003 of the EXIF directory that IFD0's tag 0x8769 points to) of a TIFF
// structure, read as local time ("2024:03:14 10:30:00"); nothing when it is missing, blank or no
// date ("0000:00:00 00:00:00").
std::optional<QDateTime> exifDateTimeOriginal(const QByteArray &tiff);

// The EXIF date of a JPEG, HEIC, HEIF or AVIF file (by its bytes, whatever its name), or else its
// modification time; nothing when the file cannot be read at all.
std::optional<QDateTime> takenTime(const QString &path);

} // namespace pagemint
