#include "process/OutputPipe.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace pagemint {

namespace {
void closeDescriptor(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}
} // namespace

OutputPipe::~OutputPipe()
{
    close();
}

int OutputPipe::open()
{
    close();
    int ends[2];
    // Close-on-exec on both ends: only the child started for this pipe may hold the write end
    // (it gets it by dup2, which clears the flag), or the pipe would stay open in unrelated ones.
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return errno;
    m_readEnd = ends[0];
    m_writeEnd = ends[1];
    const int flags = ::fcntl(m_readEnd, F_GETFL);
    if (flags < 0 || ::fcntl(m_readEnd, F_SETFL, flags | O_NONBLOCK) != 0) {
        const int error = errno;
        close();
        return error;
    }
    return 0;
}

void OutputPipe::closeWriteEnd()
{
    closeDescriptor(m_writeEnd);
}

void OutputPipe::close()
{
    closeDescriptor(m_readEnd);
    closeDescriptor(m_writeEnd);
}

qint64 OutputPipe::bytesWaiting() const
{
    int waiting = 0;
    if (m_readEnd < 0 || ::ioctl(m_readEnd, FIONREAD, &waiting) != 0)
        return -1;
    return waiting;
}

bool OutputPipe::read(qint64 maxBytes, QByteArray &piece)
{
    piece.resize(maxBytes);
    ssize_t got = -1;
    do {
        got = ::read(m_readEnd, piece.data(), static_cast<size_t>(maxBytes));
    } while (got < 0 && errno == EINTR);
    piece.resize(got > 0 ? got : 0);
    return got > 0;
}

void OutputPipe::waitForActivity(int ms) const
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    QSocketNotifier readable(static_cast<qintptr>(m_readEnd), QSocketNotifier::Read);
    QObject::connect(&readable, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    // Once the application has begun to quit, exec() returns at once: wait on the pipe alone.
    if (loop.exec() < 0) {
        pollfd readEnd{m_readEnd, POLLIN, 0};
        ::poll(&readEnd, 1, ms);
    }
}

} // namespace pagemint
