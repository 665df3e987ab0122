#pragma once
// What "访问网站" and the toolbar's web zone open. Until the program has a web site, that is the
// help installed with it: the user guide docs/guide.md as an HTML page in help/ of the application
// folder (made by tools/helppage, installed by `cmake --install`), so the command never leads nowhere.

#include <QString>

class QWidget;

namespace pagemint {

// applicationFolder() + "/help/index.html".
QString helpPagePath();

// Opens the help page with the desktop's program; where none takes it, a message (modal to
// `owner`) names the page's path, so the command never ends in nothing.
void openHelpPage(QWidget *owner);

} // namespace pagemint
