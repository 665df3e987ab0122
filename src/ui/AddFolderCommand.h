#pragma once

class QWidget;

namespace pagemint {

class frmMain;

// Asks for a folder and appends the pictures of its whole tree to the list. The window shows that
// it is searching and takes no commands until the search is over, also when the dialog was
// cancelled.
void AddImagesFromFolder(frmMain &window, QWidget *dialogOwner);

} // namespace pagemint
