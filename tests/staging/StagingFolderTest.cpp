// Where the staging folder and the single-instance lock live, from the environment; and the one
// owner that empties it, sets it aside and removes it, on the file system's own names.
#include "contract/StagingFolder.h"
#include "contract/FolderRemovalApart.h"
#include "support/FileAccessAsNobody.h"
#include "support/RemoveTreeAtEnd.h"
#include "support/TestEnvironment.h"

#include <QFile>

#include <gtest/gtest.h>

#include <fstream>

#include <pwd.h>
#include <unistd.h>

namespace pagemint::test {
namespace {

namespace fs = std::filesystem;

fs::path accountHome()
{
    const passwd *account = ::getpwuid(::getuid());
    return account != nullptr ? fs::path(account->pw_dir) : fs::path();
}

TEST(StagingFolder, IsTheUsersOwnWhateverTheEnvironmentLacks)
{
    TestEnvironment env; // restores the variables afterwards
    const fs::path home = env.home().toStdString();
    const struct {
        const char *cache; // nullptr: unset
        const char *homeVariable;
        fs::path expected;
    } cases[] = {
        {"/srv/cache", "/srv/home", "/srv/cache/inkleaf_tmp"},
        {nullptr, "/srv/home", "/srv/home/.cache/inkleaf_tmp"},
        // Relative values are ignored, as the base-directory rules ask.
        {"relative/cache", "/srv/home", "/srv/home/.cache/inkleaf_tmp"},
        // No HOME: the account's home, never a folder every user can write such as /tmp.
        {nullptr, nullptr, accountHome() / ".cache/inkleaf_tmp"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.expected.string());
        c.cache != nullptr ? qputenv("XDG_CACHE_HOME", c.cache) : qunsetenv("XDG_CACHE_HOME");
        c.homeVariable != nullptr ? qputenv("HOME", c.homeVariable) : qunsetenv("HOME");

        EXPECT_EQ(stagingFolder(), c.expected);
        EXPECT_EQ(instanceLockFile().parent_path(), stagingFolder().parent_path());
        EXPECT_NE(stagingFolder().parent_path(), fs::temp_directory_path());
    }
}

TEST(StagingFolder, AProcessMayStageInAFolderOfItsOwnButKeepsTheUsersLock)
{
    TestEnvironment env;
    qputenv("XDG_CACHE_HOME", "/srv/cache");
    const fs::path lock = instanceLockFile();
    const struct {
        const char *own; // nullptr: unset
        fs::path expected;
    } cases[] = {
        {"/srv/cache/pagemint-run.x/inkleaf_tmp", "/srv/cache/pagemint-run.x/inkleaf_tmp"},
        {nullptr, "/srv/cache/inkleaf_tmp"},
        // Only an absolute path counts, as with the cache folder.
        {"relative/inkleaf_tmp", "/srv/cache/inkleaf_tmp"},
        {"", "/srv/cache/inkleaf_tmp"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.expected.string());
        c.own != nullptr ? qputenv(kStagingFolderVariable, c.own) : qunsetenv(kStagingFolderVariable);
        EXPECT_EQ(stagingFolder(), c.expected);
        EXPECT_EQ(instanceLockFile(), lock);
    }
    qunsetenv(kStagingFolderVariable);
}

// Cache folders named in bytes that are not UTF-8 are cleared like any other.
class StagingOwner : public ::testing::TestWithParam<const char *> {
protected:
    void SetUp() override
    {
        cache_ = fs::path(QFile::encodeName(env_.root()).toStdString()) / GetParam();
        qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(cache_.string()));
        outside_ = fs::path(QFile::encodeName(env_.root()).toStdString()) / "outside";
        write(outside_ / "keep.jpg");
    }
    static void write(const fs::path &file)
    {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << "page";
    }
    // What a crash or a cut-short job leaves: pages, the converter's hidden temporary, a folder,
    // and a link out of the folder.
    void leaveAJobBehind() const
    {
        const fs::path staging = stagingFolder();
        for (const char *name : {"00007.jpg", ".tmp.pdf.Zq3x9a", "00001.jpg.ahead", "sub/00002.jpg"})
            write(staging / name);
        fs::create_directory_symlink(outside_, staging / "link-out");
    }

    TestEnvironment env_;
    // Declared after env_, so it goes first: Qt cannot name what is not UTF-8.
    RemoveTreeAtEnd removal_{env_.root()};
    fs::path cache_;
    fs::path outside_;
};

TEST_P(StagingOwner, AJobStartsFromAnEmptyFolderOfItsOwner)
{
    leaveAJobBehind();
    std::error_code error;

    ASSERT_TRUE(emptyStagingFolder(error)) << error.message();

    ASSERT_TRUE(fs::is_directory(stagingFolder()));
    EXPECT_TRUE(fs::is_empty(stagingFolder()));
    EXPECT_EQ(fs::status(stagingFolder()).permissions(), fs::perms::owner_all);
    EXPECT_TRUE(fs::exists(outside_ / "keep.jpg"));
}

// A staging folder of the user's holding a folder of another user's that will not empty, in a cache
// folder the user cannot write, so it cannot be moved aside either. Root ignores modes: the job's
// steps run with the file access of nobody, whose staging folder it is.
TEST_P(StagingOwner, AFolderThatWillNotEmptyIsRefusedNotReused)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "making a folder the user cannot empty takes root";
    leaveAJobBehind();
    const fs::perms readable = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec;
    for (const fs::path &folder : {fs::path(QFile::encodeName(env_.root()).toStdString()), cache_})
        fs::permissions(folder, readable);
    ASSERT_EQ(::chown(stagingFolder().c_str(), nobodyId, nobodyId), 0);
    fs::permissions(stagingFolder(), fs::perms::owner_read | fs::perms::owner_exec);
    std::error_code error;
    bool emptied = true;
    {
        FileAccessAsNobody nobody;
        emptied = emptyStagingFolder(error);
    }

    EXPECT_FALSE(emptied);
    EXPECT_TRUE(error) << "no reason given";
    EXPECT_TRUE(fs::exists(stagingFolder() / "sub" / "00002.jpg"));
}

TEST_P(StagingOwner, AnExitSetsItAsideAndTheNextRemovalTakesEverything)
{
    leaveAJobBehind();
    // A link that looks like a folder set aside is removed by no one: it may point anywhere.
    fs::create_directory_symlink(outside_, cache_ / "inkleaf_tmp.gone-42");

    ASSERT_TRUE(setStagingFolderAside());

    EXPECT_FALSE(fs::exists(stagingFolder()));
    const std::vector<fs::path> aside = stagingFoldersSetAside();
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(aside[0].parent_path(), cache_);
    EXPECT_TRUE(fs::exists(aside[0] / "inkleaf_tmp" / "00007.jpg"));
    // With nothing there, nothing is moved.
    EXPECT_FALSE(setStagingFolderAside());

    // Left again by a later run: both go.
    leaveAJobBehind();
    EXPECT_TRUE(removeStagingFolder());

    EXPECT_FALSE(fs::exists(stagingFolder()));
    EXPECT_TRUE(stagingFoldersSetAside().empty());
    EXPECT_FALSE(fs::exists(aside[0]));
    EXPECT_TRUE(fs::exists(outside_ / "keep.jpg"));
    EXPECT_TRUE(fs::is_symlink(cache_ / "inkleaf_tmp.gone-42"));
}

// The end of a job: the folder is out of the way at once, and it and what earlier runs set aside
// are removed by a process of their own; a link set aside's name is never followed.
TEST_P(StagingOwner, ARemovalApartTakesTheFolderAndWhatWasSetAside)
{
    leaveAJobBehind();
    ASSERT_TRUE(setStagingFolderAside());
    leaveAJobBehind();
    fs::create_directory_symlink(outside_, cache_ / "inkleaf_tmp.gone-42");

    EXPECT_TRUE(removeStagingFolderApart());

    EXPECT_FALSE(fs::exists(stagingFolder()));
    ASSERT_TRUE(awaitFolderRemovalsApart(std::chrono::steady_clock::now() + std::chrono::minutes(1)));
    EXPECT_TRUE(stagingFoldersSetAside().empty());
    EXPECT_TRUE(fs::exists(outside_ / "keep.jpg"));
    EXPECT_TRUE(fs::is_symlink(cache_ / "inkleaf_tmp.gone-42"));
}

TEST_P(StagingOwner, ARemovalToldToStopLeavesTheRestForLater)
{
    leaveAJobBehind();
    ASSERT_TRUE(setStagingFolderAside());
    int entries = 0;

    EXPECT_FALSE(removeStagingFolder({[&entries] { return ++entries < 2; }, {}}));

    EXPECT_EQ(stagingFoldersSetAside().size(), 1u);
    EXPECT_TRUE(removeStagingFolder());
    EXPECT_TRUE(stagingFoldersSetAside().empty());
}

INSTANTIATE_TEST_SUITE_P(CacheNames, StagingOwner, ::testing::Values("cache", "cach\xE9", "cache-\xFF"),
                         [](const ::testing::TestParamInfo<const char *> &testCase) {
                             return std::string(testCase.index == 0   ? "Utf8"
                                                : testCase.index == 1 ? "Latin1"
                                                                      : "StrayByte");
                         });

} // namespace
} // namespace pagemint::test
