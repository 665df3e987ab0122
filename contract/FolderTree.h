#pragma once
// Removes a folder with everything in it, on the file system's own names (bytes): a name that is
// not valid UTF-8 must lead back to its file, or the folder survives the clean-up.

#include <filesystem>
#include <functional>
#include <system_error>

namespace pagemint {

struct TreeRemoval {
    // Runs between two entries; false stops the removal there and leaves the rest (an ending
    // program that may not wait, or a window that must stay responsive).
    std::function<bool()> keepGoing;
    // Told of each entry that would not go; the removal goes on with the others.
    std::function<void(const std::filesystem::path &, const std::error_code &)> failed;
};

// Removes `root` and all it holds: read-only and hidden files, nested folders, folders whose owner
// may not write them. A linked folder (symlink) is never entered: the link itself is removed and
// what it points to stays. Every folder is visited once. Does nothing when `root` does not exist.
// True when `root` is gone.
bool removeFolderTree(const std::filesystem::path &root, const TreeRemoval &how = {});

} // namespace pagemint
