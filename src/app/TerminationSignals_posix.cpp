#include "app/TerminationSignals.h"

#include "app/AppLog.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pagemint {

namespace {

// The handler's end of the socket pair; -1 while no instance lives.
volatile sig_atomic_t signalWriteEnd = -1;

// Only async-signal-safe work here: one byte that wakes the event loop. The socket does not
// block; when it is full, bytes are waiting already and one more adds nothing.
extern "C" void onTerminationSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalWriteEnd, &byte, 1);
    errno = savedErrno;
}

void closeDescriptor(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent, std::vector<int> handled)
    : QObject(parent), signals_(std::move(handled)), previousActions_(signals_.size())
{
    int ends[2];
    if (signalWriteEnd >= 0)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends) != 0) {
        // SIGTERM and SIGHUP then end the program at once, without its exit sequence.
        qCWarning(lcApp, "termination signals not handled: %s", std::strerror(errno));
        return;
    }
    readEnd_ = ends[0];
    writeEnd_ = ends[1];
    signalWriteEnd = writeEnd_;
    notifier_ = std::make_unique<QSocketNotifier>(static_cast<qintptr>(readEnd_), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &TerminationSignals::drain);

    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls go on; the program learns of the signal from the event loop.
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < signals_.size(); ++i)
        ::sigaction(signals_[i], &action, &previousActions_[i]);
}

TerminationSignals::~TerminationSignals()
{
    if (!notifier_)
        return;
    for (std::size_t i = 0; i < signals_.size(); ++i)
        ::sigaction(signals_[i], &previousActions_[i], nullptr);
    notifier_.reset();
    signalWriteEnd = -1;
    closeDescriptor(writeEnd_);
    closeDescriptor(readEnd_);
}

void TerminationSignals::drain()
{
    char bytes[64];
    while (::read(readEnd_, bytes, sizeof bytes) > 0) {
    }
    Q_EMIT received();
}

} // namespace pagemint
