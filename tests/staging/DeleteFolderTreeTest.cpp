#include "conversion/DeleteFolderTree.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace pagemint::test {
namespace {

class DeleteFolderTreeTest : public ::testing::Test {
protected:
    QString path(const QString &relative) const { return env.root() + u'/' + relative; }
    TestEnvironment env;
};

TEST_F(DeleteFolderTreeTest, RemovesReadOnlyHiddenAndNestedEntries)
{
    env.writeFile("tree/00000.jpg", "page");
    env.writeFile("tree/.hidden", "x");
    env.writeFile("tree/sub/deeper/read-only.jpg", "page");
    env.writeFile("tree/locked/inside.jpg", "page");
    QFile::setPermissions(path("tree/sub/deeper/read-only.jpg"), QFile::ReadOwner);
    QFile::setPermissions(path("tree/00000.jpg"), QFile::ReadOwner);
    // A folder its owner may not write to or list.
    QFile::setPermissions(path("tree/locked"), QFile::ReadOwner);
    QDir().mkpath(path("tree/empty"));

    DeleteFolderTree(path("tree"));

    EXPECT_FALSE(QFileInfo::exists(path("tree")));
}

TEST_F(DeleteFolderTreeTest, RemovesALinkedFolderButNotWhatItPointsTo)
{
    env.writeFile("outside/keep.jpg", "keep");
    env.writeFile("tree/page.jpg", "page");
    QDir().mkpath(path("tree/sub"));
    ASSERT_TRUE(QFile::link(path("outside"), path("tree/sub/link-to-outside")));
    ASSERT_TRUE(QFile::link(path("outside/keep.jpg"), path("tree/link-to-file")));

    DeleteFolderTree(path("tree"));

    EXPECT_FALSE(QFileInfo::exists(path("tree")));
    EXPECT_TRUE(QFileInfo::exists(path("outside/keep.jpg")));
}

TEST_F(DeleteFolderTreeTest, ALinkGivenAsTheFolderIsRemovedAlone)
{
    env.writeFile("outside/keep.jpg", "keep");
    ASSERT_TRUE(QFile::link(path("outside"), path("link")));

    DeleteFolderTree(path("link"));

    EXPECT_FALSE(QFileInfo(path("link")).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(path("outside/keep.jpg")));
}

TEST_F(DeleteFolderTreeTest, AMissingFolderIsLeftAlone)
{
    env.writeFile("neighbour/keep.jpg", "keep");

    DeleteFolderTree(path("missing"));
    DeleteFolderTree(QString());

    EXPECT_TRUE(QFileInfo::exists(path("neighbour/keep.jpg")));
}

} // namespace
} // namespace pagemint::test
