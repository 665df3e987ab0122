#pragma once
// What "访问网站" and the toolbar's web zone open. Until the program has a web site, that is the
// help installed with it: the user guide docs/guide.md as an HTML page in help/ of the application
// folder (made by tools/helppage, installed by `cmake --install`), so the command never leads nowhere.

#include <QString>

namespace pagemint {

// applicationFolder() + "/help/index.html".
QString helpPagePath();

} // namespace pagemint
