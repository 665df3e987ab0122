#pragma once

#include <QStringList>

namespace pagemint {

// One started console command: its standard output and standard error go to the given
// descriptor, its standard input reads nothing. The runner reaps it as soon as it has exited,
// so that it does not linger in the process list as a zombie under its name. A child still
// running when its object ends is reaped later, at the next start or reap of any child.
// ChildProcess_posix.cpp holds the only system calls; a Windows build supplies its own file.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    // arguments[0] is the program, looked up in PATH when it holds no "/". False when the program
    // is missing or cannot be started.
    bool start(const QStringList &arguments, int outputDescriptor);

    // Collects the child's exit status if it has exited, without waiting. True once it has.
    bool reap();
    bool hasExited() const { return m_exited; }
    // Ends the child at once (SIGKILL) if it still runs, and reaps it.
    void kill();

private:
    long long m_pid = 0;
    bool m_exited = false;
};

} // namespace pagemint
