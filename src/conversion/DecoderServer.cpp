#include "DecoderServer.h"

#include "DecoderProcess.h"
#include "common/ExitRequest.h"
#include "contract/DecoderServerProtocol.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

extern char **environ;

namespace pagemint {

namespace {
using decoder::DecodeReport;

// The real server is ready in about 10 ms; a helper that does not speak the protocol (an older
// one) never is, and then costs this once before each picture goes to a helper of its own.
constexpr int kReadyTimeoutMs = 2000;
// A server that cannot start or keeps dying is given up for the program's run.
constexpr int kMaxFailures = 3;

bool waitReadable(int fd, int timeoutMs)
{
    pollfd watched{fd, POLLIN, 0};
    int rc = 0;
    do
        rc = ::poll(&watched, 1, timeoutMs);
    while (rc < 0 && errno == EINTR);
    return rc > 0;
}
} // namespace

DecoderServer &DecoderServer::instance()
{
    static DecoderServer server;
    return server;
}

DecoderServer::~DecoderServer()
{
    // Closing the socket ends the server and its children.
    if (socket_ >= 0)
        ::close(socket_);
}

bool DecoderServer::start(const QString &program)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 34)
    // The program's own descriptors stay here; the server would close them as it shuts itself in.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
#endif
    const QByteArray path = program.toLocal8Bit();
    char *arguments[] = {const_cast<char *>(path.constData()), const_cast<char *>(decoder::kServeArgument), nullptr};
    // Every symbol bound once in the server: lazily bound, each forked child would look up again
    // what it calls (a tenth of a child's time in the dynamic loader, measured).
    std::vector<char *> environment;
    for (char **variable = environ; *variable != nullptr; ++variable)
        if (std::strncmp(*variable, "LD_BIND_NOW=", 12) != 0)
            environment.push_back(*variable);
    char bindNow[] = "LD_BIND_NOW=1";
    environment.push_back(bindNow);
    environment.push_back(nullptr);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, path.constData(), &actions, nullptr, arguments, environment.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    if (error != 0) {
        ::close(ends[0]);
        return false;
    }
    socket_ = ends[0];
    pid_ = pid;
    if (!waitReadable(socket_, kReadyTimeoutMs)) {
        serverGone();
        return false;
    }
    DecodeReport ready;
    if (decoder::receiveReport(socket_, ready, decoder::ReportWait::DontWait) != decoder::ReportReceived::Report ||
        ready.kind != DecodeReport::Ready) {
        serverGone();
        return false;
    }
    return true;
}

bool DecoderServer::ensureRunning()
{
    if (exitRequested)
        return false;
    const QString program = decoderPath();
    if (program != program_) {
        end();
        program_ = program;
        failures_ = 0;
    }
    if (socket_ >= 0)
        return true;
    if (failures_ >= kMaxFailures)
        return false;
    if (start(program))
        return true;
    ++failures_;
    return false;
}

std::optional<std::uint64_t> DecoderServer::launch(int picture, int page, int reason, decoder::DecodeForm form)
{
    // A server found dead here is replaced once; the picture never waits on a broken one.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!ensureRunning())
            return std::nullopt;
        const std::uint64_t id = nextId_++;
        if (decoder::sendRequest(socket_, id, {picture, page, reason}, form)) {
            children_.emplace(id, ServedChild{});
            return id;
        }
        ++failures_;
        serverGone();
    }
    return std::nullopt;
}

void DecoderServer::readReports()
{
    while (socket_ >= 0) {
        DecodeReport report;
        const decoder::ReportReceived received = decoder::receiveReport(socket_, report, decoder::ReportWait::DontWait);
        if (received == decoder::ReportReceived::End) {
            ++failures_;
            serverGone();
            return;
        }
        if (received == decoder::ReportReceived::NothingYet)
            return;
        const auto found = children_.find(report.id);
        if (found == children_.end())
            continue; // forgotten: killed for its time or the program's end
        ServedChild &child = found->second;
        switch (report.kind) {
        case DecodeReport::Started:
            child.pid = report.value;
            break;
        case DecodeReport::NotStarted:
            child.lost = true;
            break;
        case DecodeReport::Ended:
            child.ended = true;
            child.waitStatus = report.value;
            break;
        default:
            break;
        }
    }
}

void DecoderServer::waitForReports(std::chrono::milliseconds timeout)
{
    if (socket_ >= 0)
        waitReadable(socket_, static_cast<int>(timeout.count()));
}

const ServedChild *DecoderServer::child(std::uint64_t id) const
{
    const auto found = children_.find(id);
    return found != children_.end() ? &found->second : nullptr;
}

void DecoderServer::forget(std::uint64_t id)
{
    children_.erase(id);
}

void DecoderServer::serverGone()
{
    if (socket_ >= 0)
        ::close(socket_);
    socket_ = -1;
    if (pid_ > 0) {
        // Its children die with it (PR_SET_PDEATHSIG); it is this program's child to reap.
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    pid_ = 0;
    for (auto &[id, child] : children_)
        if (!child.ended)
            child.lost = true;
}

void DecoderServer::end()
{
    for (const auto &[id, child] : children_)
        if (child.pid > 0 && !child.ended)
            ::kill(child.pid, SIGKILL);
    serverGone();
    failures_ = 0;
}

} // namespace pagemint
