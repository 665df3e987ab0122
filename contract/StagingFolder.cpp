#include "contract/StagingFolder.h"

#include <cstdlib>
#include <random>
#include <string>

#ifndef _WIN32
#include "contract/FolderRemovalApart.h"

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
    if (fs::path ownFolder = absoluteFromEnv(kStagingFolderVariable); !ownFolder.empty())
        return ownFolder;
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

namespace {
// "inkleaf_tmp.gone-NNNN": beside the staging folder, so that moving it there is a rename.
std::string asidePrefix()
{
    return stagingFolder().filename().string() + ".gone-";
}
} // namespace

bool emptyStagingFolder(std::error_code &error, const TreeRemoval &how)
{
    // What will not go is moved out of the converter's sight; failing that, making the folder
    // reports the trouble.
    if (!removeFolderTree(stagingFolder(), how))
        setStagingFolderAside();
    if (!createStagingFolder(error))
        return false;
    // Neither removed nor moved: its pages must not go into this job's PDF.
    if (!fs::is_empty(stagingFolder(), error) || error) {
        if (!error)
            error = std::make_error_code(std::errc::directory_not_empty);
        return false;
    }
    return true;
}

bool setStagingFolderAside()
{
    const fs::path folder = stagingFolder();
    std::error_code error;
    if (!fs::exists(fs::symlink_status(folder, error)))
        return false;
    // A folder of a new name is ours alone (making it fails when the name is taken), so the rename
    // into it never replaces anything.
    std::random_device seed;
    std::mt19937 numbers(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path aside = folder.parent_path() / (asidePrefix() + std::to_string(numbers() % 1000000000));
        if (!fs::create_directory(aside, error)) {
            if (error)
                return false;
            continue;
        }
        fs::rename(folder, aside / folder.filename(), error);
        if (error)
            fs::remove(aside, error);
        return fs::exists(aside);
    }
    return false;
}

std::vector<fs::path> stagingFoldersSetAside()
{
    const std::string prefix = asidePrefix();
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator it(stagingFolder().parent_path(), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        // Only folders we made: a link of that name is never followed.
        if (name.compare(0, prefix.size(), prefix) == 0 && it->symlink_status(error).type() == fs::file_type::directory)
            found.push_back(it->path());
    }
    return found;
}

bool removeStagingFolder(const TreeRemoval &how)
{
    bool gone = removeFolderTree(stagingFolder(), how);
    for (const fs::path &aside : stagingFoldersSetAside()) {
        if (how.keepGoing && !how.keepGoing())
            return false;
        gone = removeFolderTree(aside, how) && gone;
    }
    return gone;
}

bool removeStagingFolderApart()
{
#ifdef _WIN32
    return removeStagingFolder();
#else
    setStagingFolderAside();
    bool handedOn = true;
    for (const fs::path &aside : stagingFoldersSetAside())
        handedOn = removeFolderTreeApart(aside) && handedOn;
    return handedOn;
#endif
}

} // namespace pagemint
