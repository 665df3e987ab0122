// Where the staging folder and the single-instance lock live, from the environment.
#include "contract/StagingFolder.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace pagemint::test
