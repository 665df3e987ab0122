#pragma once
// The folder search behind "add pictures from a folder".

#include <QString>

#include <chrono>

class QListWidget;

namespace pagemint {

// `text` up to and including its last character that is neither NUL nor a space; "" when there is none.
QString TrimNullsAndSpaces(const QString &text);

// Appends every picture (hasPictureExtension) of `folder` and of the folders below it to `list`,
// handling events while it works, so entries appear while the search runs, in their final order.
// In each folder, entries are taken in natural name order (naturalCompare): its pictures first, then
// the first 200 of its subfolders, each searched completely before the next. A folder that cannot be
// listed adds nothing; a folder already searched in this call (reached again through a link) is
// not searched again. Returns early if `list` is destroyed or the program is asked to end
// (exitRequested) while events are handled.
void FindImageFiles(const QString &folder, QListWidget &list);

// The same, handling events and adding the pictures found so far in one batch every `eventInterval`
// of work. Adding rows one by one and handling events after each takes hours for 50,000 entries.
void FindImageFiles(const QString &folder, QListWidget &list, std::chrono::milliseconds eventInterval);

} // namespace pagemint
