#pragma once
// Which names the image list takes: one test shared by the folder scan, the drop and the open
// dialog's first filter.

#include <QString>
#include <QStringList>

namespace pagemint {

// The extensions the list takes, lower case with their dot: .jpg .jpeg .tif .tiff .bmp .gif .png and
// the phone and web formats .heic .heif .avif .webp.
const QStringList &pictureExtensions();

// Whether the name ends in one of pictureExtensions, in any case. Only the name decides: the
// contents are read later, at conversion.
bool hasPictureExtension(const QString &name);

} // namespace pagemint
