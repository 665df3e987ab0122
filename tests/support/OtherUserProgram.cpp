#include "OtherUserProgram.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <unistd.h>

namespace pagemint::test {

namespace {
constexpr QFile::Permissions everyoneRuns = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                            QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
}

bool OtherUserProgram::possible()
{
    return ::getuid() == 0;
}

OtherUserProgram::OtherUserProgram(const QString &name, int seconds)
{
    if (!possible())
        return;
    // nobody must reach the copy: the temporary folder is its owner's alone.
    QFile::setPermissions(dir_.path(), everyoneRuns);
    const QString program = dir_.filePath(name);
    QFile::copy(QStringLiteral("/bin/sleep"), program);
    QFile::setPermissions(program, everyoneRuns);
    // setpriv replaces itself by the program: the process started is the one named `name`.
    process_.start(QStringLiteral("setpriv"), {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                                               QStringLiteral("--clear-groups"), program, QString::number(seconds)});
    if (!process_.waitForStarted())
        return;
    // Started once setpriv has become the program (the kernel keeps 15 bytes of the name).
    QFile comm(QStringLiteral("/proc/%1/comm").arg(process_.processId()));
    const QDeadlineTimer due(3000);
    while (!started_ && !due.hasExpired() && process_.state() == QProcess::Running) {
        if (comm.open(QIODevice::ReadOnly)) {
            started_ = comm.readAll().trimmed() == name.left(15).toLocal8Bit();
            comm.close();
        }
        if (!started_)
            QThread::msleep(2);
    }
}

OtherUserProgram::~OtherUserProgram()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished();
    }
}

bool processRuns(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close >= 0 && text.mid(close + 2, 1) != "Z";
}

bool killedOrBeingKilled(qint64 pid)
{
    if (!processRuns(pid))
        return true;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return true;
    // "ShdPnd:" (the process's) and "SigPnd:" (its thread's) pending signals, as hexadecimal masks.
    constexpr quint64 sigkillBit = quint64(1) << (9 - 1);
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("ShdPnd:") || line.startsWith("SigPnd:")) {
            if (line.mid(7).trimmed().toULongLong(nullptr, 16) & sigkillBit)
                return true;
        }
    }
    return !processRuns(pid);
}

} // namespace pagemint::test
