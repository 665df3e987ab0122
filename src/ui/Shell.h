#pragma once
// What the program asks of the desktop: opening a folder or web address, and the beep. Tests
// replace the handler to see what would have been opened.

#include <QString>

#include <functional>

namespace pagemint {

// Opens a local folder or file (a path) or a web address (with a scheme) with the desktop's
// default program. False when the desktop has nothing to open it with.
bool openWithShell(const QString &target);
void systemBeep();

using ShellHandler = std::function<bool(const QString &action, const QString &target)>;
// action is "open" or "beep"; what an "open" returns is what openWithShell returns. An empty
// handler restores the desktop's behaviour.
void setShellHandlerForTesting(ShellHandler handler);

} // namespace pagemint
