#pragma once
// Removing run folders: a run's own at its end, and those of runs killed outright (SIGKILL, a power
// cut), whose staged pages nothing else would ever remove.

#include <QDeadlineTimer>

#include <filesystem>
#include <string_view>

namespace pagemint {

// Removes `folder` and everything in it until `deadline`; what is left then goes to a removal in a
// process of its own (FolderRemovalApart.h). What would not go is logged under lcCommandLine.
void removeRunFolder(const std::filesystem::path &folder, const QDeadlineTimer &deadline);

// True for the names mkdtemp makes of kRunFolderPrefix: the prefix and six letters or digits.
bool isRunFolderName(std::string_view name);

// Removes the run folders in `cache` that no living run owns: the user's own real folders (a link
// is never followed) whose lock file is there and free. A folder whose lock is held belongs to a
// live run; one without a lock file may be a run's between its making and its lock: both stay.
// Removal in this process stops at `deadline`, the rest is handed on as removeRunFolder does.
void removeDeadRunFolders(const std::filesystem::path &cache, const QDeadlineTimer &deadline);

} // namespace pagemint
