#include "conversion/RecognizerProcess.h"

#include "common/ApplicationFolder.h"
#include "contract/PictureLimits.h"

#include <QFileInfo>

namespace pagemint {

namespace {
QString pathOverride;
std::chrono::milliseconds timeLimitOverride{0};

const QString systemModels = QStringLiteral("/usr/share/tesseract-ocr/5/tessdata");
} // namespace

QString recognizerPath()
{
    if (!pathOverride.isEmpty())
        return pathOverride;
    return applicationFolder() + QStringLiteral("/data/") + QString::fromLatin1(kRecognizerFileName);
}

QStringList recognizerModelFolders()
{
    QStringList folders;
    for (const QString &folder : {applicationFolder() + QStringLiteral("/data/tessdata"), systemModels})
        if (QFileInfo(folder).isDir())
            folders << folder;
    return folders;
}

std::chrono::milliseconds recognizerTimeLimit()
{
    return timeLimitOverride.count() > 0 ? timeLimitOverride : std::chrono::seconds(kRecognizerTimeLimitSeconds);
}

HelperProgram recognizerProgram(const TextChoice &choice, int turn)
{
    RecognizerRequest request{choice.recognition, choice.upright, turn, {}};
    for (const QString &folder : recognizerModelFolders())
        request.modelFolders.push_back(QFile::encodeName(folder).toStdString());
    QStringList arguments;
    for (const std::string &argument : recognizerArguments(request))
        arguments << QFile::decodeName(QByteArray::fromStdString(argument));
    return {recognizerPath(),
            arguments,
            kRecognizerAddressSpaceLimit,
            // The engine's threads would fight the other recognisers for the cores.
            {QStringLiteral("OMP_THREAD_LIMIT=1")},
            {reason::kRecognizerCrashed, reason::kRecognizerFailed, reason::kRecognizerNotStarted}};
}

void setRecognizerPathForTesting(const QString &path)
{
    pathOverride = path;
}

void setRecognizerTimeLimitForTesting(std::chrono::milliseconds limit)
{
    timeLimitOverride = limit;
}

} // namespace pagemint
