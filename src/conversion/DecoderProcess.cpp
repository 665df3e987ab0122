#include "DecoderProcess.h"

#include "app/ApplicationFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace pagemint {

namespace {
QString decoderPathOverride;
std::chrono::milliseconds timeLimitOverride{0};

// Short enough that the window stays responsive, long enough that waiting costs no CPU.
constexpr int kPollMs = 5;
constexpr qsizetype kMaxReasonLength = 200;

std::chrono::milliseconds timeLimit()
{
    return timeLimitOverride.count() > 0 ? timeLimitOverride : kDecoderTimeLimit;
}

void limitChildResources()
{
#ifdef Q_OS_UNIX
    // Runs in the child between fork and exec: only async-signal-safe calls belong here.
    const rlimit cap{kDecoderAddressSpaceLimit, kDecoderAddressSpaceLimit};
    setrlimit(RLIMIT_AS, &cap);
    // No core files of hostile pictures in the user's folders.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
#endif
}

// The decoder's last stderr line is its reason.
QString reasonFromStderr(const QByteArray &output, int exitCode)
{
    const QList<QByteArray> lines = output.trimmed().split('\n');
    const QString last = QString::fromLocal8Bit(lines.last().trimmed()).left(kMaxReasonLength);
    return last.isEmpty() ? QStringLiteral("decoder failed (exit code %1)").arg(exitCode) : last;
}

// Waits for the child while handling events; false when the time limit ran out.
bool waitResponsively(QProcess &process)
{
    QElapsedTimer clock;
    clock.start();
    const qint64 limitMs = timeLimit().count();
    while (!process.waitForFinished(kPollMs)) {
        if (process.state() == QProcess::NotRunning)
            return true;
        QCoreApplication::processEvents();
        if (clock.elapsed() >= limitMs)
            return false;
    }
    return true;
}
} // namespace

QString decoderPath()
{
    if (!decoderPathOverride.isEmpty())
        return decoderPathOverride;
    return applicationFolder() + QStringLiteral("/data/pagemint-decoder");
}

void setDecoderPathForTesting(const QString &path)
{
    decoderPathOverride = path;
}

void setDecoderTimeLimitForTesting(std::chrono::milliseconds limit)
{
    timeLimitOverride = limit;
}

DecoderRun runDecoder(const QString &source, const QString &target)
{
    QProcess process;
    process.setProgram(decoderPath());
    process.setArguments({source, target});
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setChildProcessModifier(limitChildResources);
    process.start();
    if (!process.waitForStarted())
        return {DecoderEnding::NotStarted, -1, QStringLiteral("decoder could not be started")};

    if (!waitResponsively(process)) {
        process.kill();
        process.waitForFinished();
        return {DecoderEnding::TimedOut, -1, QStringLiteral("timed out")};
    }
    if (process.exitStatus() == QProcess::CrashExit)
        return {DecoderEnding::Crashed, -1, QStringLiteral("decoder crashed")};
    const int exitCode = process.exitCode();
    if (exitCode != 0)
        return {DecoderEnding::Refused, exitCode, reasonFromStderr(process.readAllStandardError(), exitCode)};
    return {DecoderEnding::Written, 0, {}};
}

} // namespace pagemint
