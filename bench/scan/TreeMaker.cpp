#include "TreeMaker.h"

#include <QDir>
#include <QFile>

#include <array>

namespace pagemint::bench {

namespace {

constexpr int topFolders = 40;
constexpr int subfoldersEach = 49; // 40 + 40 * 49 = 2,000 folders, none past the 200 limit
constexpr int filesEach = 25;

// 15 pictures and 10 near misses per folder, with mixed case as people's folders have them.
constexpr std::array<const char *, filesEach> suffixes = {
    ".jpg", ".JPG",  ".jpeg", ".png", ".PNG", ".tif",  ".tiff",  ".bmp", ".gif", ".Jpg", ".jpg", ".jpg", ".png",
    ".jpg", ".JPEG", ".txt",  ".doc", ".jpe", ".png2", ".tiff~", ".xmp", ".pdf", ".raw", ".thm", ".db",
};

bool fillFolder(const QString &folder, TreeCounts &counts)
{
    if (!QDir().mkpath(folder))
        return false;
    ++counts.folders;
    for (int i = 0; i < filesEach; ++i) {
        const QString name = QStringLiteral("IMG_%1%2").arg(i * 7 % filesEach + 1).arg(QLatin1String(suffixes[i]));
        QFile file(folder + u'/' + name);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        ++counts.files;
        counts.pictures += i < 15 ? 1 : 0;
    }
    return true;
}

} // namespace

TreeCounts makeScanTree(const QString &root)
{
    TreeCounts counts;
    for (int top = 1; top <= topFolders; ++top) {
        const QString topFolder = root + QStringLiteral("/day %1").arg(top);
        if (!fillFolder(topFolder, counts))
            return {};
        for (int sub = 1; sub <= subfoldersEach; ++sub) {
            if (!fillFolder(topFolder + QStringLiteral("/shoot%1").arg(sub), counts))
                return {};
        }
    }
    return counts;
}

} // namespace pagemint::bench
