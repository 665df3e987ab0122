#include "process/DOSOutputs.h"

#include "common/ExitRequest.h"
#include "contract/ConverterContract.h"
#include "process/ChildProcess.h"
#include "process/CommandLine.h"
#include "process/OutputPipe.h"
#include "process/ProcessFinder.h"
#include "process/clsWaitableTimer.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringDecoder>

#include <memory>

namespace pagemint {

namespace {
// The run lasts as long as a process of this name runs, whatever the command started.
const QString converterName = QString::fromLatin1(kConverterFileName);
constexpr qint64 pieceBytes = 1024;
constexpr qint32 pollIntervalMs = 50;
} // namespace

struct DOSOutputs::Run {
    OutputPipe pipe;
    ChildProcess child;
    // Keeps a character split between two pieces whole: its first bytes wait for the rest.
    QStringDecoder decoder{QStringDecoder::System};
    // Made at the first wait; one timer object serves the whole run.
    std::unique_ptr<clsWaitableTimer> timer;
    // Our child is the converter. Until the kernel has renamed it after exec it still carries
    // our name, so a first pass right after the start would otherwise find no pdf.exe and stop.
    bool childIsConverter = false;
};

DOSOutputs::DOSOutputs(QObject *parent) : QObject(parent) {}

DOSOutputs::~DOSOutputs() = default;

QString DOSOutputs::ExecuteCommand(const QString &CommandLine)
{
    if (!CommandLine.isEmpty())
        m_commandLine = CommandLine;
    m_started = false;
    if (m_commandLine.isEmpty()) {
        fail(QStringLiteral("Command Line empty"));
        return {};
    }
    Run run;
    if (!start(run))
        return {};
    m_started = true;
    m_outputs.clear();
    pollUntilOver(run);
    // A converter that printed its last lines and exited between two polls leaves them in the
    // pipe; the caller reads its report from them, so they are collected before the end. A program
    // that is ending, or a job that was cancelled, has no use for them.
    if (!jobStopRequested() && run.child.reap())
        readWhatIsLeft(run);
    run.pipe.close();
    Q_EMIT CommandOver();
    return m_outputs;
}

bool DOSOutputs::start(Run &run)
{
    if (const int error = run.pipe.open(); error != 0) {
        fail(QStringLiteral("CreatePipe failed. Error: %1").arg(error));
        return false;
    }
    const QStringList arguments = splitCommandLine(m_commandLine);
    run.childIsConverter = processNameMatches(QFileInfo(arguments.value(0)).fileName(), converterName);
    if (!run.child.start(arguments, run.pipe.writeEnd())) {
        fail(QStringLiteral("File or command not found"));
        return false;
    }
    run.pipe.closeWriteEnd();
    return true;
}

void DOSOutputs::pollUntilOver(Run &run)
{
    while (poll(run)) {
    }
}

bool DOSOutputs::poll(Run &run)
{
    bool running = true;
    if (run.pipe.bytesWaiting() != 0)
        running = readPiece(run);
    // Reaped here, or our own exited converter would count as a process named pdf.exe.
    run.child.reap();
    const bool ourConverterRuns = (run.childIsConverter || m_ownCommandOnly) && !run.child.hasExited();
    if (!ourConverterRuns && (m_ownCommandOnly || !IsProcessRunning(converterName)))
        running = false;
    QCoreApplication::processEvents();
    // The program is ending or the job was cancelled: nothing waits for a converter any more, and
    // ours ends with it.
    if (jobStopRequested()) {
        run.child.kill();
        return false;
    }
    if (!running)
        return false;
    if (!run.child.hasExited()) {
        // A converter run often lasts a few milliseconds: wake as soon as it writes or ends rather
        // than sleeping out the whole pass, which made one PDF per picture cost 100 ms a picture.
        run.pipe.waitForActivity(pollIntervalMs);
        return true;
    }
    if (!run.timer)
        run.timer = std::make_unique<clsWaitableTimer>();
    run.timer->Wait(pollIntervalMs);
    return true;
}

bool DOSOutputs::readPiece(Run &run)
{
    QByteArray bytes;
    const bool ok = run.pipe.read(pieceBytes, bytes);
    if (bytes.isEmpty())
        return ok;
    const QString piece = run.decoder.decode(bytes);
    m_outputs += piece;
    Q_EMIT ReceiveOutputs(piece);
    return ok;
}

void DOSOutputs::readWhatIsLeft(Run &run)
{
    // Only what waits now: a process the command left behind may still be writing.
    for (qint64 left = run.pipe.bytesWaiting(); left > 0; left -= pieceBytes) {
        if (!readPiece(run))
            break;
    }
}

void DOSOutputs::fail(const QString &message)
{
    Q_EMIT Failed(message);
}

} // namespace pagemint
