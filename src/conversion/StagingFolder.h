#pragma once
// The staging folder is shared by the program and the converter (pdf.exe): both must compute the
// same path, so this file depends on the standard library only.

#include <filesystem>
#include <system_error>

namespace pagemint {

// Folder that holds the numbered pages of a conversion and the converter's tmp.pdf.
// Windows: c:\inkleaf_tmp. Elsewhere it is per user: ${XDG_CACHE_HOME:-$HOME/.cache}/inkleaf_tmp.
std::filesystem::path stagingFolder();

// Creates the staging folder (and missing parents) readable by its owner only.
// Returns false and sets `error` when the folder cannot be made or is not a real folder.
bool createStagingFolder(std::error_code &error);

} // namespace pagemint
