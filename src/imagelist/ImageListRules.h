#pragma once
// What the image list shows and how its entries move, apart from any widget.

#include <QString>

namespace pagemint {

// "所在页码: " + the page number of the selected entry; "所在页码: 0" when nothing is selected.
QString pageLabelText(int selectedIndex);

// The selected path, or "..." and its last 40 characters when it is longer than 40.
QString filenameLabelText(const QString &path);

// The hint shown over an empty list.
QString hintText();

// The filter of the add-file dialog: 所有图片 (every extension the list takes) first, then each picture
// type, all files last.
QString addFileFilter();

enum class MoveDirection { Up, Down };

// Where the selected entry goes when moved, or -1 when it stays (nothing selected, first entry
// moved up, last entry moved down).
int moveTarget(int selected, int count, MoveDirection direction);

} // namespace pagemint
