#include "imagelist/FindImageFiles.h"

#include "common/FileNameBytes.h"
#include "conversion/StagingPaths.h"
#include "imagelist/ImageList.h"
#include "imagelist/ScanReport.h"
#include "support/FileAccessAsNobody.h"
#include "support/RemoveTreeAtEnd.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pagemint {
namespace {

// Takes the batches of a scan and says to stop once it holds `stopAt` entries.
struct RecordingSink : ScanSink {
    void appendBatch(const QStringList &paths) override
    {
        callsAfterStop += entries.size() >= stopAt ? 1 : 0;
        entries += paths;
    }
    bool keepGoing() const override { return entries.size() < stopAt; }

    QStringList entries;
    qsizetype stopAt = std::numeric_limits<qsizetype>::max();
    int callsAfterStop = 0;
};

// A real folder tree made by each test, scanned into an image list.
class FindImageFilesTest : public ::testing::Test {
protected:
    QString root() const { return dir_.path(); }
    QString at(const QString &relative) const { return root() + u'/' + relative; }

    void makeFiles(const QStringList &relativePaths) const
    {
        for (const QString &relative : relativePaths) {
            QDir().mkpath(QFileInfo(at(relative)).path());
            QFile file(at(relative));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << relative.toStdString();
        }
    }

    void makeLink(const QString &target, const QString &linkRelative) const
    {
        ASSERT_TRUE(QFile::link(target, at(linkRelative))) << linkRelative.toStdString();
    }

    QStringList atAll(const QStringList &relativePaths) const
    {
        QStringList paths;
        for (const QString &relative : relativePaths)
            paths.append(at(relative));
        return paths;
    }

    QStringList scan(const QString &folder)
    {
        FindImageFiles(folder, list_);
        return entries();
    }

    QStringList entries() const { return list_.entries(); }

    QStringList oneFolderEach(int folders) const
    {
        QStringList files;
        for (int i = 1; i <= folders; ++i)
            files.append(QStringLiteral("f%1/p%1.jpg").arg(i));
        makeFiles(files);
        return files;
    }

    QTemporaryDir dir_;
    ImageList list_;
};

TEST_F(FindImageFilesTest, TakesThePicturesOfAFolderInNaturalOrder)
{
    makeFiles({"d.tif", "c.txt", "b.Jpeg", "A.JPG", "img10.png", "img2.png", "IMG1.png"});
    EXPECT_EQ(scan(root()), atAll({"A.JPG", "b.Jpeg", "d.tif", "IMG1.png", "img2.png", "img10.png"}));
}

TEST_F(FindImageFilesTest, AFolderEndingInTheSeparatorIsJoinedWithoutDoublingIt)
{
    makeFiles({"a.jpg", "sub/b.jpg"});
    EXPECT_EQ(scan(root() + u'/'), atAll({"a.jpg", "sub/b.jpg"}));
}

TEST_F(FindImageFilesTest, SearchesOnlyTheFirst200SubfoldersInNaturalOrder)
{
    QStringList files;
    for (int i = 1; i <= 250; ++i)
        files.append(QStringLiteral("s%1/p.jpg").arg(i));
    makeFiles(files);
    EXPECT_EQ(scan(root()), atAll(files.mid(0, 200)));
}

TEST_F(FindImageFilesTest, TheNameAloneDecides)
{
    makeFiles({"x.jpg/inner.png", "a.jpe", "b.png2", "c.tiff~", "d.jpg.bak", "e.BMP", "f.gif"});
    EXPECT_EQ(scan(root()), atAll({"e.BMP", "f.gif", "x.jpg/inner.png"}));
}

TEST_F(FindImageFilesTest, PicturesOfAFolderComeBeforeItsSubfoldersDepthFirst)
{
    makeFiles({"b/3.jpg", "a/x/2.jpg", "a/1.jpg", "z.jpg", "a/y.jpg"});
    EXPECT_EQ(scan(root()), atAll({"z.jpg", "a/1.jpg", "a/y.jpg", "a/x/2.jpg", "b/3.jpg"}));
}

TEST_F(FindImageFilesTest, HiddenAndReadOnlyFoldersAreSearched)
{
    makeFiles({".hidden/h.jpg", "ro/r.jpg", ".dot.png"});
    ASSERT_TRUE(QFile::setPermissions(at("ro"), QFile::ReadOwner | QFile::ExeOwner));
    EXPECT_EQ(scan(root()), atAll({".dot.png", ".hidden/h.jpg", "ro/r.jpg"}));
    QFile::setPermissions(at("ro"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(FindImageFilesTest, ALinkLoopEndsAndEachFolderIsSearchedOnce)
{
    // One loop per tree: two loops in one tree would make an unguarded scan branch past any timeout
    // instead of failing.
    makeFiles({"up/a.jpg", "up/sub/b.jpg", "self/c.jpg"});
    makeLink(at("up"), QStringLiteral("up/sub/parent"));
    makeLink(QStringLiteral("."), QStringLiteral("self/me"));
    EXPECT_EQ(scan(at("up")), atAll({"up/a.jpg", "up/sub/b.jpg"}));
    list_.clear();
    EXPECT_EQ(scan(at("self")), atAll({"self/c.jpg"}));
}

TEST_F(FindImageFilesTest, LinksAreFollowedToFilesAndToOtherFolders)
{
    const QTemporaryDir elsewhere;
    QFile(elsewhere.filePath("far.jpg")).open(QIODevice::WriteOnly);
    makeFiles({"tree/own.jpg"});
    makeLink(elsewhere.filePath("far.jpg"), QStringLiteral("tree/linked.jpg"));
    makeLink(elsewhere.path(), QStringLiteral("tree/other"));
    EXPECT_EQ(scan(at("tree")), atAll({"tree/linked.jpg", "tree/own.jpg", "tree/other/far.jpg"}));
}

TEST_F(FindImageFilesTest, AFolderThatCannotBeListedAddsNothing)
{
    makeFiles({"keep.jpg"});
    list_.append({QStringLiteral("already there")});
    EXPECT_EQ(scan(at("missing")), QStringList{"already there"});
    EXPECT_EQ(scan(at("keep.jpg")), QStringList{"already there"});
}

// Root lists any folder: the scan runs with nobody's file access, which the folder's mode refuses.
TEST_F(FindImageFilesTest, FoldersThatCannotBeListedAreReturnedInTheOrderMet)
{
    makeFiles({"a/1.jpg", "a/locked/2.jpg", "b/3.jpg", "shut/4.jpg"});
    const QFile::Permissions open =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    for (const char *folder : {"", "a", "b"})
        ASSERT_TRUE(QFile::setPermissions(at(QString::fromLatin1(folder)), open));
    for (const char *folder : {"a/locked", "shut"})
        ASSERT_TRUE(QFile::setPermissions(at(QString::fromLatin1(folder)), QFile::ReadOwner | QFile::ExeOwner));
    QStringList unreadable;
    {
        test::FileAccessAsNobody nobody;
        unreadable = FindImageFiles(root(), list_);
    }
    for (const char *folder : {"a/locked", "shut"})
        QFile::setPermissions(at(QString::fromLatin1(folder)), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(entries(), atAll({"a/1.jpg", "b/3.jpg"}));
    EXPECT_EQ(unreadable, atAll({"a/locked", "shut"}));
    // A folder read whole returns none; a start that is no folder returns itself.
    list_.clear();
    EXPECT_TRUE(FindImageFiles(at("b"), list_).isEmpty());
    EXPECT_EQ(FindImageFiles(at("missing"), list_), atAll({"missing"}));
}

TEST(ScanReport, NamesTheFoldersThatCouldNotBeRead)
{
    struct Case {
        QStringList folders;
        QString text;
        QString details;
    };
    const Case cases[] = {
        {{}, {}, {}},
        {{"/p/a"}, "以下文件夹无法读取，其中的图片没有添加：\n/p/a", {}},
        {{"/p/a", "/p/b"}, "以下文件夹无法读取，其中的图片没有添加：\n/p/a\n/p/b", {}},
        {{"/p/a", "/p/b", "/p/c"},
         "以下文件夹无法读取，其中的图片没有添加：\n/p/a\n/p/b\n…另有 1 个",
         "/p/a\n/p/b\n/p/c"},
    };
    for (const Case &c : cases) {
        const UnreadableFoldersMessage message = unreadableFoldersMessageOf(c.folders, 2);
        EXPECT_EQ(message.text, c.text);
        EXPECT_EQ(message.details, c.details);
    }
}

TEST_F(FindImageFilesTest, TheSameFolderTwiceGivesEveryPictureTwice)
{
    makeFiles({"a.jpg", "sub/b.png"});
    const QStringList once = atAll({"a.jpg", "sub/b.png"});
    scan(root());
    EXPECT_EQ(scan(root()), once + once);
}

TEST_F(FindImageFilesTest, EntriesAppearWhileTheSearchRuns)
{
    const QStringList files = oneFolderEach(30);
    RecordingSink sink;
    std::vector<qsizetype> countsSeen;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] { countsSeen.push_back(sink.entries.size()); });
    watcher.start(0);
    FindImageFiles(root(), sink, std::chrono::milliseconds(0));
    watcher.stop();

    EXPECT_EQ(sink.entries, atAll(files));
    const bool sawPartList =
        std::any_of(countsSeen.begin(), countsSeen.end(), [](qsizetype count) { return count > 0 && count < 30; });
    EXPECT_TRUE(sawPartList) << "events were handled only before or after the search";
    EXPECT_TRUE(std::is_sorted(countsSeen.begin(), countsSeen.end()));
}

TEST_F(FindImageFilesTest, ASinkThatSaysStopEndsTheScanAndGetsNothingMore)
{
    const QStringList files = oneFolderEach(30);
    RecordingSink sink;
    sink.stopAt = 1;
    FindImageFiles(root(), sink, std::chrono::milliseconds(0));
    EXPECT_EQ(sink.entries, atAll(files.mid(0, 1)));
    EXPECT_EQ(sink.callsAfterStop, 0);
}

TEST_F(FindImageFilesTest, AListDestroyedWhileEventsAreHandledEndsTheScan)
{
    const QStringList files = oneFolderEach(30);
    auto *list = new ImageList;
    // Destroyed by the first events handled after it shows anything, as closing the window would.
    QObject::connect(list, &ImageList::rowsInserted, [list] { QTimer::singleShot(0, [list] { delete list; }); });
    QPointer<ImageList> watched(list);
    FindImageFiles(root(), *list);
    EXPECT_TRUE(watched.isNull()) << "no events were handled after the first batch";
}

// Made with the system's calls on bytes: Qt would write the name as UTF-8.
TEST_F(FindImageFilesTest, NamesThatAreNotUtf8LeadBackToTheirFiles)
{
    const test::RemoveTreeAtEnd cleanUp(root());
    const std::string top = encodeFileName(root()).toStdString();
    const std::string folder = top + "/\xe9t\xe9";
    const std::string pictures[] = {top + "/caf\xe9.png", folder + "/\xff.jpg"};
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    for (const std::string &picture : pictures) {
        const int fd = ::open(picture.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }

    std::vector<std::string> found;
    for (const QString &entry : scan(root()))
        found.push_back(toFsPath(entry).native());

    EXPECT_EQ(found, std::vector<std::string>(std::begin(pictures), std::end(pictures)));
}

TEST(TrimNullsAndSpaces, KeepsTextUpToTheLastCharacterThatIsNeitherNulNorSpace)
{
    const auto text = [](QStringView view) { return view.toString(); };
    struct Case {
        QString input, expected;
    };
    const Case cases[] = {
        {text(u"C:\\pics"), text(u"C:\\pics")},
        {text(u"C:\\pics   "), text(u"C:\\pics")},
        {text(QStringView(u"C:\\pics\0\0\0", 10)), text(u"C:\\pics")},
        {text(QStringView(u"ab \0 \0", 6)), text(u"ab")},
        {text(QStringView(u"a\0b\0", 4)), text(QStringView(u"a\0b", 3))},
        {text(u"  lead"), text(u"  lead")},
        {text(u"tab\t"), text(u"tab\t")},
        {text(u"   "), QString()},
        {text(QStringView(u"\0", 1)), QString()},
        {QString(), QString()},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TrimNullsAndSpaces(c.input), c.expected) << c.input.toStdString();
}

} // namespace
} // namespace pagemint
