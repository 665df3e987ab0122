#include "DeleteFolderTree.h"

#include "ConversionLog.h"
#include "StagingPaths.h"

#include <QCoreApplication>

#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace pagemint {

namespace {
bool isRealFolder(const fs::file_status &status)
{
    return fs::is_directory(status) && !fs::is_symlink(status);
}

// A file marked read-only (Windows) or a folder without write permission (here) refuses removal
// until its owner may write again.
void removeEntry(const fs::path &entry, const fs::path &parent)
{
    std::error_code error;
    if (fs::remove(entry, error) || !error)
        return;
    fs::permissions(parent, fs::perms::owner_all, fs::perm_options::add, error);
    if (!fs::is_symlink(fs::symlink_status(entry, error)))
        fs::permissions(entry, fs::perms::owner_write, fs::perm_options::add, error);
    if (!fs::remove(entry, error) && error)
        qCWarning(lcConversion, "%s not removed: %s", entry.c_str(), error.message().c_str());
}

// Empties `folder` of everything but its subfolders, which it returns for a later visit.
std::vector<fs::path> removeFilesIn(const fs::path &folder)
{
    std::error_code error;
    // Listing and deleting need read, write and search permission on the folder itself.
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, error);
    std::vector<fs::path> subfolders;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        QCoreApplication::processEvents();
        const fs::path entry = it->path();
        if (isRealFolder(it->symlink_status(error)))
            subfolders.push_back(entry);
        else
            removeEntry(entry, folder);
    }
    if (error)
        qCWarning(lcConversion, "folder %s not emptied: %s", folder.c_str(), error.message().c_str());
    return subfolders;
}
} // namespace

void DeleteFolderTree(const QString &path)
{
    if (path.isEmpty())
        return;
    const fs::path root = toFsPath(path);
    std::error_code error;
    const fs::file_status status = fs::symlink_status(root, error);
    if (fs::is_symlink(status)) {
        if (!fs::remove(root, error) && error)
            qCWarning(lcConversion, "link %s not removed: %s", root.c_str(), error.message().c_str());
        return;
    }
    if (!fs::is_directory(status))
        return;

    // Each folder is found once, from its parent, so a folder that will not go cannot be visited
    // again and again; they are removed deepest first once their files are gone.
    std::vector<fs::path> pending{root};
    std::vector<fs::path> visited;
    while (!pending.empty()) {
        const fs::path folder = pending.back();
        pending.pop_back();
        visited.push_back(folder);
        for (fs::path &subfolder : removeFilesIn(folder))
            pending.push_back(std::move(subfolder));
    }
    for (auto it = visited.rbegin(); it != visited.rend(); ++it) {
        QCoreApplication::processEvents();
        if (!fs::remove(*it, error) && error)
            qCWarning(lcConversion, "folder %s not removed: %s", it->c_str(), error.message().c_str());
    }
}

} // namespace pagemint
