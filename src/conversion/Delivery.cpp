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

bool deliverFile(const QString &source, const QString &target, std::error_code *failure,
                 const BetweenPieces &betweenPieces, Existing existing)
{
    const fs::path from = toFsPath(source);
    const fs::path to = toFsPath(target);
    std::error_code error;
    fs::path partial;
    if (!fs::is_regular_file(from, error))
        error = error ? error : std::make_error_code(std::errc::no_such_file_or_directory);
    else
        partial = makeDeliveryTemporary(to.parent_path(), error);
    if (!error && copyFileInPieces(from, partial, betweenPieces, error)) {
        if (existing == Existing::Keep)
            renameWithoutReplacing(partial, to, error);
        else
            fs::rename(partial, to, error);
    }
    if (failure != nullptr)
        *failure = error;
    if (error) {
        // Left behind, it is removed by the next job that delivers into this folder.
        if (std::error_code removal; !partial.empty() && !fs::remove(partial, removal) && removal)
            qCWarning(lcConversion, "temporary %s not removed: %s", partial.c_str(), removal.message().c_str());
        return false;
    }
    return true;
}

} // namespace pagemint
