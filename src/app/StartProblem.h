#pragma once

#include <QString>

namespace pagemint {

// The program cannot run (no folder for its lock and staging): says `problem` on standard error,
// for a start from a terminal or a session log, and in a message box, for a start from the menu.
// Returns the program's exit status.
int reportStartProblem(const QString &problem);

} // namespace pagemint
