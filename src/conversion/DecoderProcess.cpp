#include "DecoderProcess.h"

#include "DecodeTask.h"
#include "common/ApplicationFolder.h"
#include "conversion/StagingPaths.h"

#include <QDir>
#include <QFileInfo>

namespace pagemint {

namespace {
QString decoderPathOverride;
std::chrono::milliseconds timeLimitOverride{0};
DecoderLaunch launchOverride = DecoderLaunch::Server;
} // namespace

QString decoderPath()
{
    if (!decoderPathOverride.isEmpty())
        return decoderPathOverride;
    return applicationFolder() + QStringLiteral("/data/pagemint-decoder");
}

QString fallbackDecoderPath()
{
    return QFileInfo(decoderPath()).dir().filePath(QStringLiteral("pagemint-fallback-decoder"));
}

DecoderLaunch decoderLaunch()
{
    return launchOverride;
}

std::chrono::milliseconds decoderTimeLimit()
{
    return timeLimitOverride.count() > 0 ? timeLimitOverride : kDecoderTimeLimit;
}

void setDecoderPathForTesting(const QString &path)
{
    decoderPathOverride = path;
}

void setDecoderTimeLimitForTesting(std::chrono::milliseconds limit)
{
    timeLimitOverride = limit;
}

void setDecoderLaunchForTesting(DecoderLaunch launch)
{
    launchOverride = launch;
}

DecoderRun runDecoder(const QString &source, const QString &target)
{
    DecodeTask task(source, toFsPath(target));
    return task.waitHandlingEvents();
}

} // namespace pagemint
