#include "process/clsWaitableTimer.h"

#include "PostedEventFlag.h"
#include "QuittingApplication.h"
#include "ThreadCpuClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QThread>
#include <QTime>
#include <QTimer>

#include <gtest/gtest.h>

#include <thread>

namespace {

using pagemint::clsWaitableTimer;

TEST(WaitableTimerName, IsProgramNameThenMinuteAndSecond)
{
    struct Case {
        const char *program;
        QTime time;
        const char *name;
    };
    const Case cases[] = {
        {"app.exe", QTime(10, 5, 30), "appTimer0530"},
        {"pagemint", QTime(0, 0, 0), "pagemintTimer0000"},
        {"my.tool.exe", QTime(23, 59, 9, 999), "my.toolTimer5909"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(pagemint::waitableTimerName(QString::fromUtf8(c.program), c.time), QString::fromUtf8(c.name));
}

TEST(WaitableTimer, WaitsItsTimeWhileHandlingEvents)
{
    clsWaitableTimer timer;
    pagemint::test::PostedEventFlag receiver;
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    bool timerFired = false;
    bool heldDuringWait = false;
    QTimer::singleShot(10, [&] {
        timerFired = true;
        heldDuringWait = timer.hasTimer();
    });

    QElapsedTimer clock;
    clock.start();
    timer.Wait(50);

    EXPECT_GE(clock.elapsed(), 50);
    EXPECT_TRUE(receiver.seen);
    EXPECT_TRUE(timerFired);
    EXPECT_TRUE(heldDuringWait);
    EXPECT_FALSE(timer.hasTimer());
}

TEST(WaitableTimer, ZeroOrLessReturnsAtOnce)
{
    for (const qint32 ms : {0, -1000}) {
        clsWaitableTimer timer;
        QElapsedTimer clock;
        clock.start();
        timer.Wait(ms);
        // A -1000 taken for its size would wait a second; the bound is that second, not a guess at
        // how fast a busy machine returns.
        EXPECT_LT(clock.elapsed(), 1000) << ms;
        EXPECT_FALSE(timer.hasTimer());
    }
}

TEST(WaitableTimer, NestedWaitInTheSameSecondSharesTheTimer)
{
    // Both waits must begin in the same second to get the same timer name; a busy machine may
    // start the inner one in the next second, so such a try is made again.
    const auto timerNameNow = [] {
        return pagemint::waitableTimerName(QCoreApplication::applicationFilePath(), QTime::currentTime());
    };
    for (int attempt = 0; attempt < 5; ++attempt) {
        while (QTime::currentTime().msec() > 500)
            QThread::msleep(20);
        clsWaitableTimer outer;
        clsWaitableTimer inner;
        QString outerName;
        QString innerName;
        qint64 innerTook = -1;
        QTimer::singleShot(20, [&] {
            innerName = timerNameNow();
            QElapsedTimer innerClock;
            innerClock.start();
            inner.Wait(100);
            innerTook = innerClock.elapsed();
        });

        outerName = timerNameNow();
        QElapsedTimer clock;
        clock.start();
        outer.Wait(3000);
        const qint64 outerTook = clock.elapsed();
        if (innerName != outerName)
            continue;

        EXPECT_GE(innerTook, 100);
        // The nested wait re-armed the shared timer to fire 100 ms later; the outer one ends with
        // it instead of waiting its own 3000 ms.
        EXPECT_GE(outerTook, 120);
        EXPECT_LT(outerTook, 3000);
        EXPECT_FALSE(outer.hasTimer());
        EXPECT_FALSE(inner.hasTimer());
        return;
    }
    FAIL() << "the nested wait never began in the outer wait's second";
}

TEST(WaitableTimer, ReturnsOnTimeWithoutSpinningOnceTheApplicationIsQuitting)
{
    for (const qint32 ms : {50, 400}) {
        pagemint::test::QuittingApplication quitting;
        clsWaitableTimer timer;
        const pagemint::test::ThreadCpuClock cpu;
        QElapsedTimer clock;
        clock.start();
        timer.Wait(ms);
        const qint64 took = clock.elapsed();

        // A wait whose timer could not fire never returns at all: the suite's time-out tells.
        EXPECT_GE(took, ms);
        // It slept: a spinning wait keeps a processor busy the whole time.
        EXPECT_LT(cpu.elapsedMs(), 0.5 * static_cast<double>(took)) << ms;
        EXPECT_FALSE(timer.hasTimer());
    }
}

TEST(WaitableTimer, WithoutAnEventLoopStillReturnsAfterItsTime)
{
    // A thread that never ran an event loop cannot run a timer.
    qint64 took = -1;
    bool held = true;
    std::thread worker([&] {
        clsWaitableTimer timer;
        QElapsedTimer clock;
        clock.start();
        timer.Wait(60);
        took = clock.elapsed();
        held = timer.hasTimer();
    });
    // One that never returned would fail by the suite's time-out.
    worker.join();
    EXPECT_GE(took, 60);
    EXPECT_FALSE(held);
}

} // namespace
