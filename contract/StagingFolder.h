#pragma once
// The staging folder is shared by the program and the converter (pdf.exe): both must compute the
// same path, so this file depends on the standard library only.

#include "contract/FolderTree.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace pagemint {

// Folder that holds the numbered pages of a conversion and the converter's tmp.pdf.
// Windows: c:\inkleaf_tmp. Elsewhere it is per user: ${XDG_CACHE_HOME:-$HOME/.cache}/inkleaf_tmp,
// HOME taken from the account when unset; never in a folder other users can write.
// A process whose environment holds kStagingFolderVariable (an absolute path) stages there
// instead, and so do the converters it starts, which inherit it: a command-line run stages in a
// folder of its own beside the window's and other runs'.
std::filesystem::path stagingFolder();
inline constexpr const char *kStagingFolderVariable = "PAGEMINT_STAGING_FOLDER";

// The lock that lets one copy of the program run at a time. It lives beside the staging folder:
// two copies that share a staging folder (two desktop sessions of one user) would clear each
// other's pages and end each other's converter.
std::filesystem::path instanceLockFile();

// Creates the staging folder (and missing parents) readable by its owner only.
// Returns false and sets `error` when the folder cannot be made or is not a real folder.
bool createStagingFolder(std::error_code &error);

// The staging folder has one owner: start-up, every job and the exit clear it through the three
// functions below, on the file system's own names, so a cache folder whose name is not UTF-8 is
// cleared like any other.

// Leaves the staging folder made (as createStagingFolder) and empty, whatever an earlier job, a
// crash or a cut-short exit left in it: the converter takes every page it finds there. False and
// `error` set when it cannot be made or something in it would neither go nor move out of the way;
// what could not be removed is told to `how.failed`.
bool emptyStagingFolder(std::error_code &error, const TreeRemoval &how = {});

// Moves the staging folder out of the way at once, renamed into a new folder of its own beside
// it, for an exit that must not wait for gigabytes of pages to be deleted. False when there was
// nothing to move or it could not be moved.
bool setStagingFolderAside();

// Removes the staging folder and every folder setStagingFolderAside() left, in this run or an
// earlier one. True when all are gone; false when some would not go or `how.keepGoing` stopped it.
bool removeStagingFolder(const TreeRemoval &how = {});

// Sets the staging folder aside at once and hands it, with every folder set aside earlier, to
// removal in a process of its own (FolderRemovalApart.h): the end of a job neither waits for its
// pages to be deleted nor leaves them for later, and an exit meanwhile does not stop it. False when
// one could not be handed on; it stays for the next clean-up.
bool removeStagingFolderApart();

// The folders set aside that are still there (for tests and the removal above).
std::vector<std::filesystem::path> stagingFoldersSetAside();

} // namespace pagemint
