#include "conversion/Delivery.h"

#include "common/ExitRequest.h"
#include "conversion/ConversionLog.h"
#include "conversion/DeliveryTemporary.h"
#include "conversion/StagingPaths.h"

#include <QCoreApplication>

#include <filesystem>

namespace fs = std::filesystem;

namespace pagemint {

bool handleEventsUnlessStopped()
{
    QCoreApplication::processEvents();
    return !jobStopRequested();
}

namespace {
// Puts the source's bytes at `partial`, an empty temporary of ours: by renaming the source to that
// name when it may be moved and lies on the same file system (no byte copied), else by copying.
// True when the source was renamed; `partial` may then have been made anew.
bool fillTemporary(const fs::path &from, fs::path &partial, Source how, const BetweenPieces &betweenPieces,
                   std::error_code &error)
{
    if (how == Source::Move) {
        // Renaming over a file makes ext4 write the moved file out first (90 ms for a document of
        // 5000 pages): the name is freed and taken by a rename that replaces nothing.
        fs::remove(partial, error);
        if (!error && renameWithoutReplacing(from, partial, error))
            return true;
        // Another file system (EXDEV), or one that will not rename: the copy says what fails.
        qCDebug(lcConversion, "%s copied, not moved: %s", from.c_str(), error.message().c_str());
        partial = makeDeliveryTemporary(partial.parent_path(), error);
        if (error)
            return false;
    }
    copyFileInPieces(from, partial, betweenPieces, error);
    return false;
}
} // namespace

bool deliverFile(const QString &source, const QString &target, std::error_code *failure,
                 const BetweenPieces &betweenPieces, Existing existing, Source how)
{
    const fs::path from = toFsPath(source);
    const fs::path to = toFsPath(target);
    std::error_code error;
    fs::path partial;
    if (!fs::is_regular_file(from, error))
        error = error ? error : std::make_error_code(std::errc::no_such_file_or_directory);
    else
        partial = makeDeliveryTemporary(to.parent_path(), error);
    bool moved = false;
    if (!error)
        moved = fillTemporary(from, partial, how, betweenPieces, error);
    if (!error) {
        if (existing == Existing::Keep)
            renameWithoutReplacing(partial, to, error);
        else
            fs::rename(partial, to, error);
    }
    if (failure != nullptr)
        *failure = error;
    if (error) {
        // A moved source goes back where it was: the caller may deliver it under another name.
        if (moved) {
            std::error_code back;
            fs::rename(partial, from, back);
            if (!back)
                partial.clear();
        }
        // Left behind, it is removed by the next job that delivers into this folder.
        if (std::error_code removal; !partial.empty() && !fs::remove(partial, removal) && removal)
            qCWarning(lcConversion, "temporary %s not removed: %s", partial.c_str(), removal.message().c_str());
        return false;
    }
    // Copied across file systems: moved all the same, as the caller asked.
    if (std::error_code removal; how == Source::Move && !moved && !fs::remove(from, removal) && removal)
        qCWarning(lcConversion, "%s not removed: %s", from.c_str(), removal.message().c_str());
    return true;
}

} // namespace pagemint
