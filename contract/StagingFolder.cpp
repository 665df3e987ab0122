#include "contract/StagingFolder.h"

#include <cstdlib>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace pagemint {

namespace {
// An unset or relative variable is ignored, as the XDG base-directory rules ask.
fs::path absoluteFromEnv(const char *name)
{
    const char *value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        return {};
    fs::path path(value);
    return path.is_absolute() ? path : fs::path();
}

#ifndef _WIN32
// Without HOME the account's home still belongs to the user alone; a shared folder such as /tmp
// would let another user plant a link or read the pages. An account without a home gets a path
// that cannot be created, so nothing is staged rather than staged in the open.
fs::path homeFolder()
{
    if (fs::path home = absoluteFromEnv("HOME"); !home.empty())
        return home;
    const passwd *account = ::getpwuid(::getuid());
    if (account != nullptr && account->pw_dir != nullptr && fs::path(account->pw_dir).is_absolute())
        return account->pw_dir;
    return "/nonexistent";
}

fs::path userCacheFolder()
{
    fs::path cache = absoluteFromEnv("XDG_CACHE_HOME");
    return cache.empty() ? homeFolder() / ".cache" : cache;
}
#endif
} // namespace

fs::path stagingFolder()
{
#ifdef _WIN32
    return fs::path("c:\\inkleaf_tmp");
#else
    return userCacheFolder() / "inkleaf_tmp";
#endif
}

fs::path instanceLockFile()
{
#ifdef _WIN32
    return fs::path("c:\\inkleaf_tmp.lock");
#else
    return userCacheFolder() / "pagemint.lock";
#endif
}

bool createStagingFolder(std::error_code &error)
{
    const fs::path folder = stagingFolder();
    error.clear();
    fs::create_directories(folder, error);
    if (error)
        return false;
    // A link here could send our pages (and the later clean-up) somewhere else.
    if (fs::is_symlink(fs::symlink_status(folder)) || !fs::is_directory(folder)) {
        error = std::make_error_code(std::errc::not_a_directory);
        return false;
    }
#ifndef _WIN32
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, error);
#endif
    return !error;
}

} // namespace pagemint
