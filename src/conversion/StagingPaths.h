#pragma once
// Bridges Qt's path strings and std::filesystem (which the staging folder and the JPEG check
// speak) without losing bytes of names in the locale's encoding.

#include <QString>

#include <filesystem>

namespace pagemint {

std::filesystem::path toFsPath(const QString &path);
QString fromFsPath(const std::filesystem::path &path);

// A file of the staging folder by name, such as the converter's "tmp.pdf".
QString stagingFilePath(const char *name);

// stagingFolder()/stagedPageName(index)
std::filesystem::path stagedPagePath(int index);

} // namespace pagemint
