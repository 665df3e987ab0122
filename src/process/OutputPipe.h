#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace pagemint {

// The anonymous pipe that carries a console command's output back to the runner. The read end
// never blocks; both ends are closed when the object ends, and neither leaks into other children.
// OutputPipe_posix.cpp holds the only system calls; a Windows build supplies its own file.
class OutputPipe {
public:
    OutputPipe() = default;
    ~OutputPipe();
    OutputPipe(const OutputPipe &) = delete;
    OutputPipe &operator=(const OutputPipe &) = delete;

    // Creates the pipe. Returns 0, or the system error code of the failed call.
    int open();

    // The end the child writes to (a file descriptor here); the child gets its own copy.
    int writeEnd() const { return m_writeEnd; }
    // Once the child holds its copy, the runner drops its own so the pipe can reach its end.
    void closeWriteEnd();
    void close();

    // Bytes that can be read at once; -1 when the pipe cannot tell.
    qint64 bytesWaiting() const;
    // Reads at most `maxBytes` of what is waiting, without blocking. False when the read failed or
    // gave nothing.
    bool read(qint64 maxBytes, QByteArray &piece);
    // Handles events for at most `ms` milliseconds, ending as soon as there is something to read
    // or the writer has closed its end. Once the application has begun to quit, when no event loop
    // runs, it waits on the pipe alone.
    void waitForActivity(int ms) const;

private:
    int m_readEnd = -1;
    int m_writeEnd = -1;
};

} // namespace pagemint
