#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace pagemint::test {

// Handles events until `done()` holds or `timeoutMs` passed; returns whether it held.
template <typename Predicate> bool waitFor(Predicate done, int timeoutMs = 5000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

} // namespace pagemint::test
