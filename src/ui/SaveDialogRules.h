#pragma once

#include <QString>

namespace pagemint {

// The folder the save dialog starts in. A folder given with or without its trailing separator is
// used with one; a blank one, or one that does not exist (hidden folders do), gives way to the
// application folder.
QString preparedSaveFolder(const QString &path, const QString &applicationFolder);

// The save dialog's filter: `filter`, or every file when it is blank.
QString saveDialogFilter(const QString &filter);

} // namespace pagemint
