#pragma once

#include <QString>
#include <QStringList>

namespace pagemint {

// Splits a command line into the program and its arguments. Words are separated by spaces or
// tabs; double quotes group words with spaces into one ("/my folder/pdf.exe" /NOASK) and are
// removed, and "" on its own gives an empty argument. There is no escape character, so
// backslashes in Windows paths stay as written; an unclosed quote runs to the end of the line.
QStringList splitCommandLine(const QString &commandLine);

} // namespace pagemint
