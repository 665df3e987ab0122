#include "imagelist/DropIntake.h"

#include "conversion/StagingPaths.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace pagemint {
namespace {

QStringList pathsOf(const std::vector<DroppedItem> &items)
{
    QStringList paths;
    for (const DroppedItem &item : items)
        paths << (item.folder ? QStringLiteral("folder:") : QString()) + item.path;
    return paths;
}

QStringList droppedFrom(const QList<QUrl> &urls)
{
    QMimeData data;
    data.setUrls(urls);
    return pathsOf(droppedItems(data));
}

TEST(DropIntake, TakesLocalPicturesInTheOrderDropped)
{
    EXPECT_EQ(droppedFrom(
                  {QUrl::fromLocalFile("/p/a.jpg"), QUrl::fromLocalFile("/p/b.PNG"), QUrl::fromLocalFile("/p/c.doc")}),
              QStringList({"/p/a.jpg", "/p/b.PNG"}));
    EXPECT_EQ(droppedFrom({QUrl::fromLocalFile("/p/z.gif"), QUrl::fromLocalFile("/p/a.gif")}),
              QStringList({"/p/z.gif", "/p/a.gif"}));
}

TEST(DropIntake, IgnoresUrlsThatAreNotLocalFiles)
{
    EXPECT_EQ(droppedFrom({QUrl::fromLocalFile("/p/c.jpg"), QUrl("http://example.com/a.jpg"),
                           QUrl("https://example.com/b.png"), QUrl::fromLocalFile("/p/数据/d.tif")}),
              QStringList({"/p/c.jpg", "/p/数据/d.tif"}));
    QMimeData textOnly;
    textOnly.setText(QStringLiteral("/p/a.jpg"));
    EXPECT_TRUE(droppedItems(textOnly).empty());
}

TEST(DropIntake, TakesFoldersWhateverTheirNamesInTheOrderDropped)
{
    const QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("album/inner"));
    QDir(dir.path()).mkpath(QStringLiteral("named.jpg"));
    QFile(dir.filePath(QStringLiteral("album/p.jpg"))).open(QIODevice::WriteOnly);
    const QString album = dir.filePath(QStringLiteral("album"));
    const QString namedLikeAPicture = dir.filePath(QStringLiteral("named.jpg"));
    const QString picture = dir.filePath(QStringLiteral("album/p.jpg"));
    EXPECT_EQ(
        droppedFrom({QUrl::fromLocalFile(album), QUrl::fromLocalFile(picture), QUrl::fromLocalFile(namedLikeAPicture)}),
        (QStringList{QStringLiteral("folder:") + album, picture, QStringLiteral("folder:") + namedLikeAPicture}));
}

// File managers send a name's bytes percent-encoded, one escape per byte, UTF-8 or not ("%E9" of
// a Latin-1 name); QUrl::toLocalFile would make U+FFFD of what is not UTF-8.
TEST(DropIntake, KeepsTheBytesOfEveryName)
{
    const QByteArray names[] = {"/p/caf\xe9.png", "/p/\xed\xb2\x80.jpg", "/p/100% \xff.gif",
                                "/p/\xe6\x95\xb0\xe6\x8d\xae.tif"};
    for (const QByteArray &name : names) {
        SCOPED_TRACE(name.toHex(' ').toStdString());
        QMimeData data;
        data.setData(QStringLiteral("text/uri-list"), "file://" + name.toPercentEncoding("/") + "\r\n");

        const QStringList paths = pathsOf(droppedItems(data));

        ASSERT_EQ(paths.size(), 1);
        EXPECT_EQ(toFsPath(paths[0]).native(), name.toStdString());
    }
}

} // namespace
} // namespace pagemint
