#pragma once
// The pop-up menus' items react to the left button only, as the program's menus always did; Qt's
// menus take a release of any button as a choice.

class QMenu;

namespace pagemint {

// From now on a press or release of another button over `menu` is dropped; outside it, it still
// closes the menu.
void acceptLeftButtonOnly(QMenu &menu);

} // namespace pagemint
