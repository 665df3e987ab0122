#pragma once
// The staging folder is shared by the program and the converter (pdf.exe): both must compute the
// same path, so this file depends on the standard library only.

#include <filesystem>
#include <system_error>

namespace pagemint {

// Folder that holds the numbered pages of a conversion and the converter's tmp.pdf.
// Windows: c:\inkleaf_tmp. Elsewhere it is per user: ${XDG_CACHE_HOME:-$HOME/.cache}/inkleaf_tmp,
// HOME taken from the account when unset; never in a folder other users can write.
std::filesystem::path stagingFolder();

// The lock that lets one copy of the program run at a time. It lives beside the staging folder:
// two copies that share a staging folder (two desktop sessions of one user) would clear each
// other's pages and end each other's converter.
std::filesystem::path instanceLockFile();

// Creates the staging folder (and missing parents) readable by its owner only.
// Returns false and sets `error` when the folder cannot be made or is not a real folder.
bool createStagingFolder(std::error_code &error);

} // namespace pagemint
