#include "imagelist/FindImageFiles.h"

#include "common/ExitRequest.h"
#include "imagelist/FolderListing.h"
#include "imagelist/ImageList.h"
#include "imagelist/NaturalOrder.h"
#include "imagelist/PictureExtensions.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QStringList>

#include <algorithm>
#include <set>
#include <vector>

namespace pagemint {

namespace {

constexpr std::size_t maxSubfoldersSearched = 200;

QString joinPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(u'/') || folder.endsWith(QDir::separator()))
        return folder + name;
    return folder + QDir::separator() + name;
}

bool filesFirstThenNaturalOrder(const FolderEntry &a, const FolderEntry &b)
{
    if (a.isFolder != b.isFolder)
        return b.isFolder;
    return naturalLess(a.name, b.name);
}

class FolderScan {
public:
    FolderScan(ScanSink &sink, std::chrono::milliseconds eventInterval)
        : sink_(sink), eventIntervalNs_(std::chrono::nanoseconds(eventInterval).count())
    {
        sinceEvents_.start();
    }

    void run(const QString &root)
    {
        // Depth first with an explicit stack: a deep tree must not exhaust the call stack.
        struct Level {
            std::vector<QString> subfolders;
            std::size_t next = 0;
        };
        std::vector<Level> levels;
        levels.push_back({searchFolder(root)});
        while (!levels.empty() && !stopped()) {
            Level &level = levels.back();
            if (level.next == level.subfolders.size()) {
                levels.pop_back();
                continue;
            }
            const QString subfolder = level.subfolders[level.next++];
            levels.push_back({searchFolder(subfolder)});
        }
        handleEvents();
    }

    const QStringList &unreadable() const { return unreadable_; }

private:
    // Adds the pictures of `folder` and returns the subfolders to search after it.
    std::vector<QString> searchFolder(const QString &folder)
    {
        std::vector<QString> subfolders;
        std::optional<FolderContents> contents = listFolder(folder, [this] { handleEventsWhenDue(); });
        if (!contents) {
            unreadable_.append(folder);
            return subfolders;
        }
        if (!searched_.insert(contents->identity).second)
            return subfolders;
        std::sort(contents->entries.begin(), contents->entries.end(), filesFirstThenNaturalOrder);
        for (const FolderEntry &entry : contents->entries) {
            if (entry.isFolder) {
                if (subfolders.size() < maxSubfoldersSearched)
                    subfolders.push_back(joinPath(folder, entry.name));
            } else if (hasPictureExtension(entry.name)) {
                found_.append(joinPath(folder, entry.name));
            }
            handleEventsWhenDue();
            if (stopped())
                return {};
        }
        return subfolders;
    }

    // The list went away, or the program is ending: a scan of a large tree would hold it up.
    bool stopped() const { return !keepGoing_ || exitRequested; }

    void handleEventsWhenDue()
    {
        if (sinceEvents_.nsecsElapsed() >= eventIntervalNs_)
            handleEvents();
    }

    void handleEvents()
    {
        if (!keepGoing_)
            return;
        sink_.appendBatch(found_);
        found_.clear();
        QCoreApplication::processEvents();
        keepGoing_ = sink_.keepGoing();
        sinceEvents_.restart();
    }

    ScanSink &sink_;
    bool keepGoing_ = true;
    qint64 eventIntervalNs_;
    QElapsedTimer sinceEvents_;
    QStringList found_;
    QStringList unreadable_;
    std::set<FolderIdentity> searched_;
};

// Fills an image list for as long as it exists: events may destroy the window that holds it.
class ImageListSink : public ScanSink {
public:
    explicit ImageListSink(ImageList &list) : list_(&list) {}
    void appendBatch(const QStringList &paths) override
    {
        if (list_)
            list_->append(paths);
    }
    bool keepGoing() const override { return !list_.isNull(); }

private:
    QPointer<ImageList> list_;
};

} // namespace

QString TrimNullsAndSpaces(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && (text[end - 1] == u'\0' || text[end - 1] == u' '))
        --end;
    return text.left(end);
}

QStringList FindImageFiles(const QString &folder, ImageList &list)
{
    ImageListSink sink(list);
    return FindImageFiles(folder, sink);
}

QStringList FindImageFiles(const QString &folder, ScanSink &sink, std::chrono::milliseconds eventInterval)
{
    FolderScan scan(sink, eventInterval);
    scan.run(folder);
    return scan.unreadable();
}

} // namespace pagemint
