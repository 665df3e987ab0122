#include "conversion/Delivery.h"

#include "conversion/StagingPaths.h"
#include "conversion/decoder/PartialFile.h"

#include <QFileInfo>

#include <filesystem>

namespace fs = std::filesystem;

namespace pagemint {

bool deliverFile(const QString &source, const QString &target, std::error_code *failure)
{
    const fs::path from = toFsPath(source);
    const fs::path to = toFsPath(target);
    fs::path partial = to;
    partial += kPartialSuffix;
    std::error_code error;
    if (!fs::is_regular_file(from, error)) {
        if (!error)
            error = std::make_error_code(std::errc::no_such_file_or_directory);
    } else {
        fs::copy_file(from, partial, fs::copy_options::overwrite_existing, error);
        if (!error)
            fs::rename(partial, to, error);
    }
    if (failure != nullptr)
        *failure = error;
    if (error) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        return false;
    }
    return true;
}

} // namespace pagemint
