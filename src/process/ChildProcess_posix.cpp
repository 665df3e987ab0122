#include "process/ChildProcess.h"

#include "process/ProcessLog.h"

#include <QByteArray>

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace pagemint {

namespace {

constexpr int killWaitMs = 1000;

// Children whose object ended while they still ran; reaped whenever another child is handled.
std::vector<pid_t> &abandonedChildren()
{
    static std::vector<pid_t> pids;
    return pids;
}

bool reapPid(pid_t pid)
{
    int status = 0;
    pid_t result = -1;
    do {
        result = ::waitpid(pid, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    // ECHILD: someone else collected it already; either way it is gone.
    return result == pid || (result < 0 && errno == ECHILD);
}

void reapAbandoned()
{
    std::erase_if(abandonedChildren(), reapPid);
}

// posix_spawn attributes and file actions, released on every path out of start().
class SpawnSetup {
public:
    SpawnSetup()
    {
        m_ok = ::posix_spawn_file_actions_init(&m_actions) == 0;
        m_ok = ::posix_spawnattr_init(&m_attributes) == 0 && m_ok;
    }
    ~SpawnSetup()
    {
        ::posix_spawn_file_actions_destroy(&m_actions);
        ::posix_spawnattr_destroy(&m_attributes);
    }
    SpawnSetup(const SpawnSetup &) = delete;
    SpawnSetup &operator=(const SpawnSetup &) = delete;

    bool prepare(int outputDescriptor)
    {
        // The command must not inherit signals the user-interface thread happens to block.
        sigset_t none;
        sigemptyset(&none);
        return m_ok && ::posix_spawnattr_setsigmask(&m_attributes, &none) == 0 &&
               ::posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETSIGMASK) == 0 &&
               ::posix_spawn_file_actions_addopen(&m_actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0) == 0 &&
               ::posix_spawn_file_actions_adddup2(&m_actions, outputDescriptor, STDOUT_FILENO) == 0 &&
               ::posix_spawn_file_actions_adddup2(&m_actions, outputDescriptor, STDERR_FILENO) == 0;
    }

    const posix_spawn_file_actions_t *actions() const { return &m_actions; }
    const posix_spawnattr_t *attributes() const { return &m_attributes; }

private:
    posix_spawn_file_actions_t m_actions;
    posix_spawnattr_t m_attributes;
    bool m_ok = false;
};

} // namespace

ChildProcess::~ChildProcess()
{
    if (m_pid > 0 && !reap())
        abandonedChildren().push_back(static_cast<pid_t>(m_pid));
}

bool ChildProcess::start(const QStringList &arguments, int outputDescriptor)
{
    reapAbandoned();
    if (arguments.isEmpty() || arguments.constFirst().isEmpty() || m_pid > 0)
        return false;

    std::vector<QByteArray> encoded;
    encoded.reserve(arguments.size());
    for (const QString &argument : arguments)
        encoded.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    argv.reserve(encoded.size() + 1);
    for (QByteArray &argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    SpawnSetup setup;
    if (!setup.prepare(outputDescriptor))
        return false;
    pid_t pid = 0;
    // glibc reports a failed exec (missing file, no permission) as the result of posix_spawnp.
    if (::posix_spawnp(&pid, argv[0], setup.actions(), setup.attributes(), argv.data(), environ) != 0)
        return false;
    m_pid = pid;
    m_exited = false;
    return true;
}

bool ChildProcess::reap()
{
    reapAbandoned();
    if (m_pid > 0 && !m_exited)
        m_exited = reapPid(static_cast<pid_t>(m_pid));
    return m_exited;
}

void ChildProcess::kill()
{
    if (m_pid <= 0 || reap())
        return;
    if (::kill(static_cast<pid_t>(m_pid), SIGKILL) != 0 && errno != ESRCH)
        qCWarning(lcProcess, "child process %lld not ended: %s", m_pid, std::strerror(errno));
    // Gone, not merely doomed, when this returns; a child stuck in the kernel is left to be reaped
    // later rather than waited for.
    for (int waited = 0; waited < killWaitMs && !reap(); ++waited)
        ::usleep(1000);
    if (!m_exited)
        qCWarning(lcProcess, "child process %lld still runs %d ms after SIGKILL; it is reaped later", m_pid,
                  killWaitMs);
}

} // namespace pagemint
