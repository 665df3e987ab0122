#pragma once
// What a drop onto the main window adds to the image list, apart from the widgets that take it.

#include <QStringList>

class QMimeData;

namespace pagemint {

// The local file paths of the dropped data that pass hasPictureExtension, in the order the data
// gives them. Non-local URLs are ignored and folders are not searched: a folder is taken only when
// its own name ends in a picture extension, like a file.
QStringList droppedPicturePaths(const QMimeData &data);

} // namespace pagemint
