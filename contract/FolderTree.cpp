#include "contract/FolderTree.h"

#include <vector>

namespace fs = std::filesystem;

namespace pagemint {

namespace {
bool isRealFolder(const fs::file_status &status)
{
    return fs::is_directory(status) && !fs::is_symlink(status);
}

bool keepGoing(const TreeRemoval &how)
{
    return !how.keepGoing || how.keepGoing();
}

void report(const TreeRemoval &how, const fs::path &entry, const std::error_code &error)
{
    // Gone already: another removal of the same tree (the one run apart) took it first.
    if (error == std::errc::no_such_file_or_directory)
        return;
    if (how.failed)
        how.failed(entry, error);
}

// A file marked read-only (Windows) or a folder without write permission (here) refuses removal
// until its owner may write again.
void removeEntry(const fs::path &entry, const fs::path &parent, const TreeRemoval &how)
{
    std::error_code error;
    if (fs::remove(entry, error) || !error)
        return;
    fs::permissions(parent, fs::perms::owner_all, fs::perm_options::add, error);
    if (!fs::is_symlink(fs::symlink_status(entry, error)))
        fs::permissions(entry, fs::perms::owner_write, fs::perm_options::add, error);
    if (!fs::remove(entry, error) && error)
        report(how, entry, error);
}

// Empties `folder` of everything but its subfolders, which it returns for a later visit. False
// when told to stop.
bool removeFilesIn(const fs::path &folder, const TreeRemoval &how, std::vector<fs::path> &subfolders)
{
    std::error_code error;
    // Listing and deleting need read, write and search permission on the folder itself.
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, error);
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (!keepGoing(how))
            return false;
        const fs::path entry = it->path();
        if (isRealFolder(it->symlink_status(error)))
            subfolders.push_back(entry);
        else
            removeEntry(entry, folder, how);
    }
    if (error)
        report(how, folder, error);
    return true;
}
} // namespace

bool removeFolderTree(const fs::path &root, const TreeRemoval &how)
{
    if (root.empty())
        return true;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(root, error);
    if (fs::is_symlink(status)) {
        if (!fs::remove(root, error) && error)
            report(how, root, error);
        return !error;
    }
    if (!fs::is_directory(status))
        return !fs::exists(status);

    // Each folder is found once, from its parent, so a folder that will not go cannot be visited
    // again and again; they are removed deepest first once their files are gone.
    std::vector<fs::path> pending{root};
    std::vector<fs::path> visited;
    while (!pending.empty()) {
        const fs::path folder = pending.back();
        pending.pop_back();
        visited.push_back(folder);
        std::vector<fs::path> subfolders;
        if (!removeFilesIn(folder, how, subfolders))
            return false;
        for (fs::path &subfolder : subfolders)
            pending.push_back(std::move(subfolder));
    }
    for (auto it = visited.rbegin(); it != visited.rend(); ++it) {
        if (!keepGoing(how))
            return false;
        if (!fs::remove(*it, error) && error)
            report(how, *it, error);
    }
    return !fs::exists(fs::symlink_status(root, error));
}

} // namespace pagemint
