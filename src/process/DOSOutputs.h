#pragma once

#include <QObject>
#include <QString>

namespace pagemint {

class ChildProcess;
class OutputPipe;
class clsWaitableTimer;

// Runs one console command with its standard output and standard error on a pipe, and hands what
// it prints to the owner piece by piece while it runs. The run is over when no process named
// "pdf.exe" of this user is left, the converter it exists for (or, for a runner that waits for its
// own command only, when that has ended), or at once when the program is asked to end or the job
// is cancelled (jobStopRequested), which also ends the command it started.
// Everything happens on the calling thread: ExecuteCommand blocks, but handles every event
// meanwhile, its own signals' handlers included.
class DOSOutputs : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString CommandLine READ CommandLine WRITE setCommandLine)
    Q_PROPERTY(QString Outputs READ Outputs)
public:
    explicit DOSOutputs(QObject *parent = nullptr);
    ~DOSOutputs() override;

    QString CommandLine() const { return m_commandLine; }
    void setCommandLine(const QString &DOSCommand) { m_commandLine = DOSCommand; }
    // Everything captured by the current or last started run.
    QString Outputs() const { return m_outputs; }

    // Runs `CommandLine` (which first replaces the property when not empty) until it is over and
    // returns all it printed. The line is split like splitCommandLine does: quote a path holding
    // spaces. When nothing could be started, Failed says why, the result is empty, no other signal
    // is raised and Outputs keeps the last run's text.
    QString ExecuteCommand(const QString &CommandLine = {});
    // Whether the last ExecuteCommand started its command (false: Failed said why not).
    bool lastRunStarted() const { return m_started; }
    // A runner beside other jobs waits for the command it started alone: another job's converter
    // is none of its business.
    void waitForOwnCommandOnly() { m_ownCommandOnly = true; }

Q_SIGNALS:
    // One piece of output, at most 1024 bytes of it, in the order read.
    void ReceiveOutputs(const QString &CommandOutputs);
    // Once per started command, after its last piece, before ExecuteCommand returns.
    void CommandOver();
    // The command could not be started, with the reason a user is shown.
    void Failed(const QString &message);

private:
    struct Run;

    bool start(Run &run);
    void pollUntilOver(Run &run);
    bool poll(Run &run);
    bool readPiece(Run &run);
    void readWhatIsLeft(Run &run);
    void fail(const QString &message);

    QString m_commandLine;
    QString m_outputs;
    bool m_started = false;
    bool m_ownCommandOnly = false;
};

} // namespace pagemint
