#pragma once

#include <QString>

namespace pagemint {

// The folder of the running program: the settings file lives here and the helper programs in its
// data/ subfolder.
QString applicationFolder();

// Lets tests run the windows with another folder (their own settings file, the built helpers).
void setApplicationFolderForTesting(const QString &folder);

} // namespace pagemint
