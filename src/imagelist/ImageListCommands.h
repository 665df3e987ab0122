#pragma once
// The editing commands of the image list, carried out on the main window's list.

#include "imagelist/ImageListRules.h"

#include <QStringList>

namespace pagemint {

class CCommonDialogs;
class frmMain;

// The filter of the add-file dialog: picture types first, all files last.
QString addFileFilter();

// Asks for one file and appends it; a cancelled dialog changes nothing.
void addFileCommand(frmMain &window, CCommonDialogs &dialogs);
// Removes the selected entry; afterwards nothing is selected.
void removeSelectedCommand(frmMain &window);
void clearListCommand(frmMain &window);
// Exchanges the selected entry with its neighbour and selects it at its new place.
void moveSelected(frmMain &window, MoveDirection direction);

// Appends entries at the end of the list, in order, and hides the hint when the list holds any.
void appendEntries(frmMain &window, const QStringList &paths);

} // namespace pagemint
