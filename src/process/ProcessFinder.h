#pragma once

#include <QString>

namespace pagemint {

// Processes are matched by the file name of their executable alone, without regard to case and as
// a whole name: "pdf.exe" matches PDF.EXE but not mypdf.exe or pdf.exe.bak.
bool processNameMatches(const QString &executableName, const QString &name);

// Ends every running process of the current real user whose executable is `name`; another
// user's is left alone, also when root could end it. Reports nothing: a process that cannot be
// ended keeps running.
void KillProcessByName(const QString &name);

// True when at least one running process has the executable name `name` and belongs to the same
// real user (and signals reach it). Another user's process, which the program may not end, does
// not count, so nothing waits for it; root counts only its own too. A process that has exited but
// was not reaped yet (a zombie) is not running.
bool IsProcessRunning(const QString &name);

} // namespace pagemint
