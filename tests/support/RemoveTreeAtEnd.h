#pragma once
// Removes a folder tree through the file system's bytes when the scope ends. QTemporaryDir removes
// through Qt, which cannot name a file whose name is not UTF-8 and would leave it behind.

#include "conversion/StagingPaths.h"

#include <QString>

#include <filesystem>
#include <system_error>

namespace pagemint::test {

class RemoveTreeAtEnd {
public:
    explicit RemoveTreeAtEnd(const QString &folder) : folder_(toFsPath(folder)) {}
    ~RemoveTreeAtEnd()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    RemoveTreeAtEnd(const RemoveTreeAtEnd &) = delete;
    RemoveTreeAtEnd &operator=(const RemoveTreeAtEnd &) = delete;

private:
    std::filesystem::path folder_;
};

} // namespace pagemint::test
