#pragma once
// One folder's entries as the folder scan needs them. The only part of the scan that talks to the
// operating system: a Windows build supplies its own FolderListing_<platform>.cpp.

#include <QString>

#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace pagemint {

// Which folder a path leads to, whatever links led there (device and inode).
struct FolderIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend auto operator<=>(const FolderIdentity &, const FolderIdentity &) = default;
};

struct FolderEntry {
    QString name; // decodeFileName of its bytes, so that it leads back to the entry
    // Links are followed: a link to a folder is a folder, a link to a file (or to nothing) is not.
    bool isFolder = false;
};

struct FolderContents {
    FolderIdentity identity;
    std::vector<FolderEntry> entries; // without "." and "..", in the order the system gives them
};

// std::nullopt when `folder` cannot be opened for listing. `meanwhile` is called every few hundred
// entries, so that a folder of many thousand files does not stop the handling of events.
std::optional<FolderContents> listFolder(const QString &folder, const std::function<void()> &meanwhile = {});

} // namespace pagemint
