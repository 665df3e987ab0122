#pragma once
// Removing a folder in a process of its own, so that neither a window nor the end of the program
// waits for thousands of staged pages to be deleted (`rm -rf` of 5000 pages takes a fifth of a
// second, deleting them between the window's events seconds).

#include <chrono>
#include <filesystem>

namespace pagemint {

// Starts removing `root` and everything in it in a process of its own, in a session of its own:
// neither the end of this program nor a Ctrl-C at its terminal stops it. A link is removed, never
// followed. False when the process could not be started (the reason is in errno).
bool removeFolderTreeApart(const std::filesystem::path &root);

// Waits until every removal started above has ended, at most until `deadline`. True when none
// runs any more.
bool awaitFolderRemovalsApart(std::chrono::steady_clock::time_point deadline);

} // namespace pagemint
