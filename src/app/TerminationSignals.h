#pragma once
// Log-out, shut-down and `kill` (SIGTERM, SIGHUP) reach the program as a Qt signal, so that it can
// end the way the exit zone ends it instead of dying with its helpers running and its staged pages
// left behind. TerminationSignals_posix.cpp holds the only system calls.

#include <QObject>

#include <memory>
#include <vector>

#include <signal.h>

class QSocketNotifier;

namespace pagemint {

// While an instance lives, the `handled` signals (SIGTERM and SIGHUP; the command line adds SIGINT)
// no longer end the process: each raises received() in the thread that
// made the instance, at its next handling of events (a nested event loop or processEvents()
// included). One instance at a time; the actions the signals had before are restored when it ends.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr, std::vector<int> handled = {SIGTERM, SIGHUP});
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals &) = delete;
    TerminationSignals &operator=(const TerminationSignals &) = delete;

    // False when the signals could not be taken over: they then keep their default action.
    bool isActive() const { return notifier_ != nullptr; }

Q_SIGNALS:
    void received();

private:
    void drain();

    std::vector<int> signals_;
    std::vector<struct sigaction> previousActions_;
    int readEnd_ = -1;
    int writeEnd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace pagemint
