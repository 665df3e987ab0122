#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

class QTime;

namespace pagemint {

class NamedTimer;

// Name of the timer a wait begun at `time` uses: the executable's file name without extension,
// "Timer", then minute and second (app.exe at 10:05:30 -> "appTimer0530"). Waits begun in the same
// second share a timer, so a nested one re-arms it and both end when it fires.
QString waitableTimerName(const QString &executableFileName, const QTime &time);

// A wait that keeps the user interface alive: every event of this thread is handled while it
// waits, including handlers that start another wait.
class clsWaitableTimer {
public:
    clsWaitableTimer();
    ~clsWaitableTimer();
    clsWaitableTimer(const clsWaitableTimer &) = delete;
    clsWaitableTimer &operator=(const clsWaitableTimer &) = delete;

    // Returns after `MilliSeconds` (at once for zero or less), or earlier when a nested wait of the
    // same second re-arms the shared timer to fire sooner. When no timer can be made (no event loop
    // in this thread) or none can fire (the application has begun to quit) it still returns after
    // its time, handling only events already posted.
    void Wait(qint32 MilliSeconds);

    // True only while a Wait of this instance runs.
    bool hasTimer() const { return m_timer != nullptr; }

private:
    std::shared_ptr<NamedTimer> m_timer;
};

} // namespace pagemint
