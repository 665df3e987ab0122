#include "contract/FolderTree.h"
#include "conversion/StagingPaths.h"
#include "support/FileAccessAsNobody.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace pagemint::test {
namespace {

class FolderTreeTest : public ::testing::Test {
protected:
    QString path(const QString &relative) const { return env.root() + u'/' + relative; }
    static bool remove(const QString &path) { return removeFolderTree(toFsPath(path)); }
    TestEnvironment env;
};

TEST_F(FolderTreeTest, RemovesReadOnlyHiddenAndNestedEntries)
{
    // Made and removed as an ordinary user: root could remove every entry whatever its mode.
    const QString base = makeFolderForNobody(env.root(), QStringLiteral("home"));
    ASSERT_FALSE(base.isEmpty());
    const FileAccessAsNobody nobody;
    const auto at = [&](const char *relative) { return base + QLatin1Char('/') + QLatin1String(relative); };
    for (const char *file : {"tree/00000.jpg", "tree/.hidden", "tree/sub/deeper/read-only.jpg",
                             "tree/locked/inside.jpg", "tree/unwritable/inside.jpg"}) {
        QDir().mkpath(QFileInfo(at(file)).path());
        QFile page(at(file));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly)) << file;
    }
    QDir().mkpath(at("tree/empty"));
    ASSERT_TRUE(QFile::setPermissions(at("tree/sub/deeper/read-only.jpg"), QFile::ReadOwner));
    ASSERT_TRUE(QFile::setPermissions(at("tree/00000.jpg"), QFile::ReadOwner));
    // A folder its owner may not write to or list, and one it may list but not change.
    ASSERT_TRUE(QFile::setPermissions(at("tree/locked"), QFile::ReadOwner));
    ASSERT_TRUE(QFile::setPermissions(at("tree/unwritable"), QFile::ReadOwner | QFile::ExeOwner));
    ASSERT_FALSE(QFile::remove(at("tree/unwritable/inside.jpg"))) << "the folder's mode is not enforced";

    EXPECT_TRUE(remove(at("tree")));

    EXPECT_FALSE(QFileInfo::exists(at("tree")));
}

// Two removals of one tree (a run's own clean-up and the removal apart it handed the rest to) meet:
// what the other took first, here a folder listed but gone before its turn, is no failure to tell
// anyone about.
TEST_F(FolderTreeTest, WhatAnotherRemovalTookFirstIsNoFailure)
{
    for (const char *file : {"tree/one/00000.jpg", "tree/two/00001.jpg"}) {
        QDir().mkpath(QFileInfo(path(QString::fromLatin1(file))).path());
        QFile page(path(QString::fromLatin1(file)));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly)) << file;
    }
    const std::filesystem::path tree = toFsPath(path(QStringLiteral("tree")));
    int calls = 0;
    std::vector<std::string> failures;
    // Asked before the second of the tree's two folders: the first is listed for a later visit.
    const TreeRemoval how{[&] {
                              if (++calls == 2)
                                  std::filesystem::remove_all(tree);
                              return true;
                          },
                          [&](const std::filesystem::path &entry, const std::error_code &error) {
                              failures.push_back(entry.string() + ": " + error.message());
                          }};

    EXPECT_TRUE(removeFolderTree(tree, how));

    EXPECT_GE(calls, 2);
    EXPECT_TRUE(failures.empty()) << failures.front();
}

TEST_F(FolderTreeTest, RemovesALinkedFolderButNotWhatItPointsTo)
{
    env.writeFile("outside/keep.jpg", "keep");
    env.writeFile("tree/page.jpg", "page");
    QDir().mkpath(path("tree/sub"));
    ASSERT_TRUE(QFile::link(path("outside"), path("tree/sub/link-to-outside")));
    ASSERT_TRUE(QFile::link(path("outside/keep.jpg"), path("tree/link-to-file")));

    EXPECT_TRUE(remove(path("tree")));

    EXPECT_FALSE(QFileInfo::exists(path("tree")));
    EXPECT_TRUE(QFileInfo::exists(path("outside/keep.jpg")));
}

TEST_F(FolderTreeTest, ALinkGivenAsTheFolderIsRemovedAlone)
{
    env.writeFile("outside/keep.jpg", "keep");
    ASSERT_TRUE(QFile::link(path("outside"), path("link")));

    EXPECT_TRUE(remove(path("link")));

    EXPECT_FALSE(QFileInfo(path("link")).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(path("outside/keep.jpg")));
}

TEST_F(FolderTreeTest, AMissingFolderIsLeftAlone)
{
    env.writeFile("neighbour/keep.jpg", "keep");

    EXPECT_TRUE(remove(path("missing")));
    EXPECT_TRUE(remove(QString()));

    EXPECT_TRUE(QFileInfo::exists(path("neighbour/keep.jpg")));
}

} // namespace
} // namespace pagemint::test
