#include "process/ProcessFinder.h"

#include "process/ProcessLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <functional>

#include <signal.h>
#include <sys/types.h>
#include <unistd.h>

namespace pagemint {

namespace {

struct ProcessEntry {
    pid_t pid = 0;
    QString executableName;
    bool zombie = false;
};

// The kernel keeps the name the process was started under (for a script, the script's name, not
// the interpreter's) in /proc/PID/stat, between the first "(" and the last ")", followed by the
// state letter. That name is cut to 15 bytes, so a name of that length is completed from the
// executable link or argv[0] when one of them starts with it.
constexpr qsizetype kernelNameLimit = 15;

bool readEntry(const QString &pidText, ProcessEntry &entry)
{
    bool ok = false;
    entry.pid = pidText.toInt(&ok);
    if (!ok || entry.pid <= 0)
        return false;
    const QString base = QStringLiteral("/proc/") + pidText;
    QFile stat(base + QStringLiteral("/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray statText = stat.readAll();
    const qsizetype open = statText.indexOf('(');
    const qsizetype close = statText.lastIndexOf(')');
    if (open < 0 || close < open || close + 2 >= statText.size())
        return false;
    entry.zombie = statText.at(close + 2) == 'Z';
    entry.executableName = QString::fromLocal8Bit(statText.mid(open + 1, close - open - 1));
    if (entry.executableName.size() < kernelNameLimit)
        return true;

    // A replaced or deleted executable's link ends in " (deleted)".
    QString exe = QFileInfo(QFileInfo(base + QStringLiteral("/exe")).symLinkTarget()).fileName();
    exe.remove(QRegularExpression(QStringLiteral(" \\(deleted\\)$")));
    QStringList candidates{exe};
    QFile cmdline(base + QStringLiteral("/cmdline"));
    if (cmdline.open(QIODevice::ReadOnly))
        candidates << QFileInfo(QString::fromLocal8Bit(cmdline.readAll().split('\0').value(0))).fileName();
    for (const QString &candidate : candidates) {
        if (candidate.startsWith(entry.executableName)) {
            entry.executableName = candidate;
            break;
        }
    }
    return true;
}

// A process of the same real user that signals reach: one whose end the program can bring about.
// Root could signal anyone, so the user id decides and not only kill(pid, 0).
bool endableByUs(pid_t pid)
{
    if (::kill(pid, 0) != 0)
        return false;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        // "Uid:" real, effective, saved and file-system user ids.
        if (line.startsWith("Uid:")) {
            bool ok = false;
            const uid_t real = line.mid(4).simplified().split(' ').value(0).toUInt(&ok);
            return ok && real == ::getuid();
        }
    }
    return false;
}

void walkProcesses(const std::function<void(const ProcessEntry &)> &visit)
{
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pidText : pids) {
        ProcessEntry entry;
        if (readEntry(pidText, entry))
            visit(entry);
    }
}

} // namespace

bool processNameMatches(const QString &executableName, const QString &name)
{
    return !name.isEmpty() && executableName.compare(name, Qt::CaseInsensitive) == 0;
}

void KillProcessByName(const QString &name)
{
    const pid_t self = getpid();
    walkProcesses([&](const ProcessEntry &entry) {
        // Root could end every user's converter: only our own user's are ours to end.
        if (entry.pid == self || entry.zombie || !processNameMatches(entry.executableName, name) ||
            !endableByUs(entry.pid))
            return;
        // ESRCH: it ended on its own meanwhile. Anything else leaves it running.
        if (::kill(entry.pid, SIGKILL) == 0 || errno == ESRCH)
            return;
        const int error = errno;
        qCWarning(lcProcess, "process %d (%s) not ended: %s", int(entry.pid), qUtf8Printable(entry.executableName),
                  std::strerror(error));
    });
}

bool IsProcessRunning(const QString &name)
{
    bool found = false;
    walkProcesses([&](const ProcessEntry &entry) {
        if (!found && !entry.zombie && processNameMatches(entry.executableName, name) && endableByUs(entry.pid))
            found = true;
    });
    return found;
}

} // namespace pagemint
