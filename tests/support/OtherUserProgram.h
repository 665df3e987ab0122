#pragma once
// A program that runs as another user (nobody), so that this process may not end it. Tests run as
// root in CI, and root may signal any process: only a process of another user shows what the
// program does about one it cannot end. Starting one takes root (setpriv); a test skips otherwise.
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace pagemint::test {

class OtherUserProgram {
public:
    // A copy of sleep named `name`, run as nobody for `seconds`.
    OtherUserProgram(const QString &name, int seconds);
    ~OtherUserProgram();
    OtherUserProgram(const OtherUserProgram &) = delete;
    OtherUserProgram &operator=(const OtherUserProgram &) = delete;

    static bool possible();
    bool started() const { return started_; }
    bool running() const { return process_.state() == QProcess::Running; }
    qint64 processId() const { return process_.processId(); }

private:
    QTemporaryDir dir_;
    QProcess process_;
    bool started_ = false;
};

// True while the process `pid` runs: it exists and is not a zombie.
bool processRuns(qint64 pid);

// True when a SIGKILL waits for the process `pid`, or it is already gone: it is being ended. Seen at
// once after the kill, where waiting for its end could only be timed.
bool killedOrBeingKilled(qint64 pid);

} // namespace pagemint::test
