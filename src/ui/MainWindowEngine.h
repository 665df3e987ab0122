#pragma once
// What the main window hands to the engine window, which owns the commands: the main window runs
// none itself.

#include <QString>

class QMenu;

namespace pagemint {

class MainWindowEngine {
public:
    virtual ~MainWindowEngine() = default;

    // A command word, as the engine's message box takes it ("Add", "Remove", "Add Folder",
    // "Convert").
    virtual void postCommandWord(const QString &word) = 0;
    // The pop-up menu of menu zone `Index`.
    virtual QMenu *menuOfZone(int Index) const = 0;
    // The list's own pop-up menu.
    virtual QMenu *listMenu() const = 0;
    // Shows the conversion settings until the user closes them.
    virtual void showSettingsWindow() = 0;
    // Asks the engine to unload; it really closes only when the program is exiting.
    virtual void Unload() = 0;
    // Esc in the main window: cancels the running job; nothing happens when none runs.
    virtual void cancelJob() = 0;
};

} // namespace pagemint
