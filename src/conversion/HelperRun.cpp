#include "HelperRun.h"

#include "DecoderServer.h"
#include "ReasonWords.h"
#include "contract/PictureLimits.h"

#include <QProcess>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace pagemint {

namespace {
constexpr qsizetype kMaxReasonLength = 200;
// A helper's stderr is one line; a chatty library is cut to its last words.
constexpr qsizetype kMaxStderrKept = 64 * 1024;

// The helper's last stderr line is its reason.
QString reasonFromStderr(const QByteArray &output, int exitCode, const HelperWords &words)
{
    const QList<QByteArray> lines = output.trimmed().split('\n');
    const QString last = QString::fromLocal8Bit(lines.last().trimmed()).left(kMaxReasonLength);
    return last.isEmpty() ? reasonWords(words.failed, QStringLiteral("退出码 %1").arg(exitCode)) : last;
}

DecoderRun endingOf(bool crashed, int exitCode, const QByteArray &stderrText, const HelperWords &words)
{
    if (crashed)
        return {DecoderEnding::Crashed, -1, reasonWords(words.crashed)};
    if (exitCode != 0)
        return {DecoderEnding::Refused, exitCode, reasonFromStderr(stderrText, exitCode, words)};
    // A helper may say on success what it used (the recogniser names its model files): its last line.
    const QList<QByteArray> lines = stderrText.trimmed().split('\n');
    return {DecoderEnding::Written, 0, QString::fromLocal8Bit(lines.last().trimmed()).left(kMaxStderrKept)};
}

class ServerRun : public HelperRun {
public:
    ServerRun(std::uint64_t id, int reason) : id_(id), reason_(reason) {}
    ~ServerRun() override
    {
        DecoderServer::instance().forget(id_);
        ::close(reason_);
    }

    std::optional<DecoderRun> poll() override
    {
        DecoderServer &server = DecoderServer::instance();
        server.readReports();
        drainReason();
        const ServedChild *child = server.child(id_);
        if (child == nullptr || child->lost)
            return DecoderRun{DecoderEnding::NotStarted, -1, reasonWords(reason::kDecoderNotStarted)};
        if (!child->ended)
            return std::nullopt;
        drainReason(); // what the child wrote before it ended; its end of the pipe is closed now
        const int status = child->waitStatus;
        return endingOf(WIFSIGNALED(status), WIFEXITED(status) ? WEXITSTATUS(status) : -1, stderr_, kDecoderWords);
    }

    void kill() override
    {
        DecoderServer &server = DecoderServer::instance();
        server.readReports();
        // Its pid comes a moment after the request; only a server gone by then has none to give.
        for (int tries = 0;
             tries < 20 && server.child(id_) != nullptr && server.child(id_)->pid == 0 && !server.child(id_)->lost;
             ++tries) {
            server.waitForReports(std::chrono::milliseconds(5));
            server.readReports();
        }
        // By pid: a child of the server, of this user. It has not been reaped while its end is
        // unheard, so the pid is still its own.
        if (const ServedChild *child = server.child(id_); child != nullptr && child->pid > 0 && !child->ended)
            ::kill(child->pid, SIGKILL);
        server.forget(id_);
    }

    void wait(std::chrono::milliseconds timeout) override { DecoderServer::instance().waitForReports(timeout); }

private:
    void drainReason()
    {
        char buffer[4096];
        for (ssize_t got; (got = ::read(reason_, buffer, sizeof buffer)) > 0;)
            stderr_.append(buffer, got);
        if (stderr_.size() > kMaxStderrKept)
            stderr_ = stderr_.right(kMaxStderrKept);
    }

    std::uint64_t id_;
    int reason_; // read end of the child's stderr, non-blocking
    QByteArray stderr_;
};

class ProgramRun : public HelperRun {
public:
    ProgramRun(const HelperProgram &program, int input, int output) : words_(program.words)
    {
        process_.setProgram(program.path);
        process_.setArguments(program.arguments);
        if (!program.environment.isEmpty()) {
            QStringList environment = QProcess::systemEnvironment();
            environment << program.environment;
            process_.setEnvironment(environment);
        }
        process_.setStandardOutputFile(QProcess::nullDevice());
        const rlimit cap{program.addressSpaceLimit, program.addressSpaceLimit};
        process_.setChildProcessModifier([input, output, cap] {
            // Runs in the child between fork and exec, after Qt has set up its channels: only
            // async-signal-safe calls belong here.
            ::dup2(input, STDIN_FILENO);
            ::dup2(output, STDOUT_FILENO);
            // None of the program's other descriptors reaches the helper: marked, not closed, so
            // that Qt's own pipe still reports a failed exec. The helper closes them itself as it
            // enters the sandbox on kernels without this flag.
            ::close_range(STDERR_FILENO + 1, ~0U, CLOSE_RANGE_CLOEXEC);
            setrlimit(RLIMIT_AS, &cap);
            // No core files of hostile pictures in the user's folders.
            const rlimit noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
        });
        process_.start();
        started_ = process_.waitForStarted();
    }
    ~ProgramRun() override
    {
        if (process_.state() != QProcess::NotRunning)
            kill();
    }

    std::optional<DecoderRun> poll() override
    {
        if (!started_)
            return DecoderRun{DecoderEnding::NotStarted, -1, reasonWords(words_.notStarted)};
        if (process_.state() != QProcess::NotRunning)
            process_.waitForFinished(0);
        if (process_.state() != QProcess::NotRunning)
            return std::nullopt;
        return endingOf(process_.exitStatus() == QProcess::CrashExit, process_.exitCode(),
                        process_.readAllStandardError(), words_);
    }

    void kill() override
    {
        process_.kill();
        process_.waitForFinished();
    }

    void wait(std::chrono::milliseconds timeout) override
    {
        if (started_ && process_.state() != QProcess::NotRunning)
            process_.waitForFinished(static_cast<int>(timeout.count()));
    }

private:
    HelperWords words_;
    QProcess process_;
    bool started_ = false;
};
} // namespace

std::unique_ptr<HelperRun> HelperRun::viaServer(int picture, int page, decoder::DecodeForm form)
{
    int reason[2];
    // Only the program's end waits for nothing; the child's writes block as stderr always does.
    if (::pipe2(reason, O_CLOEXEC) != 0)
        return nullptr;
    ::fcntl(reason[0], F_SETFL, O_NONBLOCK);
    const std::optional<std::uint64_t> id = DecoderServer::instance().launch(picture, page, reason[1], form);
    ::close(reason[1]); // the child holds the write end now; its end of file is the child's end
    if (!id) {
        ::close(reason[0]);
        return nullptr;
    }
    return std::make_unique<ServerRun>(*id, reason[0]);
}

std::unique_ptr<HelperRun> HelperRun::asProgram(const QString &program, int picture, int page, decoder::DecodeForm form)
{
    QStringList arguments;
    if (form == decoder::DecodeForm::Thumbnail)
        arguments << QString::fromLatin1(decoder::kThumbnailArgument);
    return asProgram(HelperProgram{program, arguments, kDecoderAddressSpaceLimit, {}, kDecoderWords}, picture, page);
}

std::unique_ptr<HelperRun> HelperRun::asProgram(const HelperProgram &program, int input, int output)
{
    return std::make_unique<ProgramRun>(program, input, output);
}

} // namespace pagemint
