#pragma once

class QString;
class QWidget;

namespace pagemint {

class frmMain;

// Asks for a folder and appends the pictures of its whole tree to the list. The window shows that
// it is searching and takes no commands until the search is over, also when the dialog was
// cancelled.
void AddImagesFromFolder(frmMain &window, QWidget *dialogOwner);

// The same search of a folder already known (a dropped one); folders that cannot be read are named
// in a message owned by `messageOwner` once it is over.
void AddImagesOfFolder(frmMain &window, const QString &folder, QWidget *messageOwner);

} // namespace pagemint
