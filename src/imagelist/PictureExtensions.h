#pragma once
// Which names the image list takes: one test shared by the folder scan and the drop.

#include <QString>

namespace pagemint {

// Whether the last 4 characters, upper-cased, are .BMP .JPG .GIF .PNG or .TIF, or the last 5 are
// .TIFF .JPEG, or the phone and web formats .HEIC .HEIF .AVIF .WEBP. Only the name decides: the contents are read
// later, at conversion.
bool hasPictureExtension(const QString &name);

} // namespace pagemint
