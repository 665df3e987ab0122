#pragma once
// What the user is told after a folder scan, apart from any window.

#include <QString>
#include <QStringList>

namespace pagemint {

// Folders a message box names before the rest go to its details.
inline constexpr int kShownUnreadableFolders = 10;

struct UnreadableFoldersMessage {
    QString text;    // empty when every folder was read
    QString details; // every folder, when the text does not hold them all
};

// What the user is told of the folders a scan could not read: the first `maxNames`, then
// "…另有 N 个".
UnreadableFoldersMessage unreadableFoldersMessageOf(const QStringList &folders, int maxNames = kShownUnreadableFolders);

} // namespace pagemint
