#pragma once
// What the program asks of the desktop: opening a folder or web address, and the beep. Tests
// replace the handler to see what would have been opened.

#include <QString>

#include <functional>

namespace pagemint {

// Opens a local folder or file (a path) or a web address (with a scheme) with the desktop's
// default program. Failures pass silently.
void openWithShell(const QString &target);
void systemBeep();

using ShellHandler = std::function<void(const QString &action, const QString &target)>;
// action is "open" or "beep"; an empty handler restores the desktop's behaviour.
void setShellHandlerForTesting(ShellHandler handler);

} // namespace pagemint
