#pragma once
// Bridges Qt's path strings and std::filesystem (which the staging folder and the JPEG check
// speak) without losing a byte: on POSIX through decodeFileName / encodeFileName, so a name that
// is not UTF-8 still leads to its file. Give such a path to std::filesystem through toFsPath,
// never to QFile, QFileInfo or QDir: they re-encode it and lose its bytes.

#include <QString>

#include <filesystem>
#include <string_view>

namespace pagemint {

std::filesystem::path toFsPath(const QString &path);
QString fromFsPath(const std::filesystem::path &path);

// A file of the staging folder by name, such as the converter's "tmp.pdf".
QString stagingFilePath(std::string_view name);

// stagingFolder()/stagedPageName(index)
std::filesystem::path stagedPagePath(int index);

} // namespace pagemint
