#pragma once
// What a drop onto the main window adds to the image list, apart from the widgets that take it.

#include <QString>

#include <vector>

class QMimeData;

namespace pagemint {

struct DroppedItem {
    QString path;
    bool folder = false; // searched as 添加目录 searches, whatever its name
};

// The local files of the dropped data that pass hasPictureExtension, and the local folders, in the
// order the data gives them. Non-local URLs and other files are ignored.
std::vector<DroppedItem> droppedItems(const QMimeData &data);

} // namespace pagemint
