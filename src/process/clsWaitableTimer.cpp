#include "process/clsWaitableTimer.h"

#include "process/NamedTimer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QThread>
#include <QTime>

namespace pagemint {

namespace {

QString currentTimerName()
{
    const QString program = QCoreApplication::instance() != nullptr
                                ? QCoreApplication::applicationFilePath()
                                : QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return waitableTimerName(QFileInfo(program).fileName(), QTime::currentTime());
}

// Without a running event loop nothing wakes the wait, so the time is slept away, handling only
// the events already posted.
void sleepUntil(const QDeadlineTimer &due)
{
    while (!due.hasExpired()) {
        if (QCoreApplication::instance() != nullptr)
            QCoreApplication::sendPostedEvents();
        QThread::msleep(static_cast<unsigned long>(qMax<qint64>(due.remainingTime(), 1)));
    }
}

} // namespace

QString waitableTimerName(const QString &executableFileName, const QTime &time)
{
    QString base = executableFileName;
    const qsizetype dot = base.lastIndexOf(u'.');
    if (dot > 0)
        base.truncate(dot);
    return base + QStringLiteral("Timer%1%2")
                      .arg(time.minute(), 2, 10, QLatin1Char('0'))
                      .arg(time.second(), 2, 10, QLatin1Char('0'));
}

clsWaitableTimer::clsWaitableTimer() = default;
clsWaitableTimer::~clsWaitableTimer() = default;

void clsWaitableTimer::Wait(qint32 MilliSeconds)
{
    // The monotonic deadline bounds the wait whatever becomes of the timer.
    const QDeadlineTimer due(qMax(MilliSeconds, 0), Qt::PreciseTimer);
    // Held locally too: a handler inside the loop may start another wait on this same instance.
    const std::shared_ptr<NamedTimer> timer = openNamedTimer(currentTimerName());
    m_timer = timer;
    if (!timer) {
        sleepUntil(due);
        return;
    }
    timer->arm(MilliSeconds);
    QEventLoop loop;
    QObject::connect(timer.get(), &NamedTimer::fired, &loop, &QEventLoop::quit);
    // exec() runs every event of the thread, nested handlers included; a nested wait on the same
    // timer re-arms it, and its firing quits this loop too once the nested one has returned.
    while (!timer->isSignalled() && !due.hasExpired()) {
        // Once the application has begun to quit, exec() returns at once and no timer can fire.
        if (loop.exec() < 0) {
            sleepUntil(due);
            break;
        }
    }
    QCoreApplication::processEvents();
    m_timer.reset();
}

} // namespace pagemint
