#include "StagingFolder.h"

#include <cstdlib>

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
} // namespace

fs::path stagingFolder()
{
#ifdef _WIN32
    return fs::path("c:\\inkleaf_tmp");
#else
    fs::path cache = absoluteFromEnv("XDG_CACHE_HOME");
    if (cache.empty()) {
        fs::path home = absoluteFromEnv("HOME");
        cache = home.empty() ? fs::temp_directory_path() : home / ".cache";
    }
    return cache / "inkleaf_tmp";
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
