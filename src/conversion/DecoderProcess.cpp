#include "DecoderProcess.h"

#include "common/ApplicationFolder.h"
#include "common/ExitRequest.h"
#include "contract/ConverterContract.h"
#include "conversion/StagingPaths.h"
#include "contract/DecodeOutcome.h"
#include "contract/SystemReason.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include <cerrno>
#include <filesystem>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
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

// An open descriptor, closed on every path out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

// The decoder's last stderr line is its reason.
QString reasonFromStderr(const QByteArray &output, int exitCode)
{
    const QList<QByteArray> lines = output.trimmed().split('\n');
    const QString last = QString::fromLocal8Bit(lines.last().trimmed()).left(kMaxReasonLength);
    return last.isEmpty() ? QStringLiteral("decoder failed (exit code %1)").arg(exitCode) : last;
}

enum class Waited { Finished, TimedOut, Cancelled };

// Waits for the child while handling events, until it ends, the time limit runs out or the
// program is asked to end (an event handled meanwhile may ask it).
Waited waitResponsively(QProcess &process)
{
    QElapsedTimer clock;
    clock.start();
    const qint64 limitMs = timeLimit().count();
    while (!process.waitForFinished(kPollMs)) {
        if (process.state() == QProcess::NotRunning)
            return Waited::Finished;
        QCoreApplication::processEvents();
        if (exitRequested)
            return Waited::Cancelled;
        if (clock.elapsed() >= limitMs)
            return Waited::TimedOut;
    }
    return Waited::Finished;
}

// One run of `program` with the picture on its standard input and the page file on its output.
// The helper gets descriptors, never names: it needs no right to open files.
DecoderRun runHelper(const QString &program, int picture, int page)
{
    QProcess process;
    process.setProgram(program);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setChildProcessModifier([picture, page] {
        // Runs in the child between fork and exec, after Qt has set up its channels: only
        // async-signal-safe calls belong here.
        ::dup2(picture, STDIN_FILENO);
        ::dup2(page, STDOUT_FILENO);
        const rlimit cap{kDecoderAddressSpaceLimit, kDecoderAddressSpaceLimit};
        setrlimit(RLIMIT_AS, &cap);
        // No core files of hostile pictures in the user's folders.
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
    });
    process.start();
    if (!process.waitForStarted())
        return {DecoderEnding::NotStarted, -1, QStringLiteral("decoder could not be started")};

    switch (waitResponsively(process)) {
    case Waited::Finished:
        break;
    case Waited::TimedOut:
        process.kill();
        process.waitForFinished();
        return {DecoderEnding::TimedOut, -1, QStringLiteral("timed out")};
    case Waited::Cancelled:
        process.kill();
        process.waitForFinished();
        return {DecoderEnding::Cancelled, -1, QStringLiteral("cancelled")};
    }
    if (process.exitStatus() == QProcess::CrashExit)
        return {DecoderEnding::Crashed, -1, QStringLiteral("decoder crashed")};
    const int exitCode = process.exitCode();
    if (exitCode != 0)
        return {DecoderEnding::Refused, exitCode, reasonFromStderr(process.readAllStandardError(), exitCode)};
    return {DecoderEnding::Written, 0, {}};
}

DecoderRun refusedBySystem(int error)
{
    return {DecoderEnding::Refused, -1, QString::fromStdString(systemReason(error))};
}

DecoderRun decodeInto(const QString &source, const std::filesystem::path &partial)
{
    const Descriptor picture(::open(toFsPath(source).c_str(), O_RDONLY | O_CLOEXEC));
    if (!picture.valid())
        return refusedBySystem(errno);
    const Descriptor page(::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!page.valid())
        return refusedBySystem(errno);

    const DecoderRun first = runHelper(decoderPath(), picture.get(), page.get());
    using decoder::ExitCode;
    if (first.exitCode != static_cast<int>(ExitCode::LoaderFailed) &&
        first.exitCode != static_cast<int>(ExitCode::UnknownFormat))
        return first;
    // FreeImage could not load it or does not read its kind; the second reader starts again from
    // the first byte and an empty page. Where FreeImage knew the kind, its reason stands unless
    // the second reader makes the page; where it did not, the second reader's verdict stands
    // once it knows the kind.
    if (::lseek(picture.get(), 0, SEEK_SET) != 0 || ::ftruncate(page.get(), 0) != 0)
        return first;
    const DecoderRun second = runHelper(fallbackDecoderPath(), picture.get(), page.get());
    const bool firstKnewIt = first.exitCode != static_cast<int>(ExitCode::UnknownFormat);
    const bool secondKnewIt = second.ending != DecoderEnding::NotStarted &&
                              second.exitCode != static_cast<int>(ExitCode::UnknownFormat);
    return second.written() || (!firstKnewIt && secondKnewIt) ? second : first;
}
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
    namespace fs = std::filesystem;
    const fs::path final = toFsPath(target);
    // Written under this name and renamed when whole, so a killed helper never leaves half a page
    // under the page's name; the staging folder holds no file of the user's.
    fs::path partial = final;
    partial += kPartialPageSuffix;
    DecoderRun run = decodeInto(source, partial);
    std::error_code error;
    if (run.written()) {
        fs::rename(partial, final, error);
        if (error)
            run = refusedBySystem(error.value());
    }
    if (!run.written())
        fs::remove(partial, error);
    return run;
}

} // namespace pagemint
