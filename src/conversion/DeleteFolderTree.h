#pragma once
// Removes a folder with everything in it (the staging folder after a conversion).

#include <QString>

namespace pagemint {

// Removes `path` and all it holds: read-only and hidden files, nested folders. A linked folder
// (symlink) is never entered: the link itself is removed and what it points to stays. What cannot
// be removed is left and the rest goes on; every folder is visited once. Handles Qt events
// between entries. Does nothing when `path` does not exist.
void DeleteFolderTree(const QString &path);

} // namespace pagemint
