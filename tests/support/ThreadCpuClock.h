#pragma once
// CPU time the calling thread used since the clock was made: a wait that sleeps uses next to
// none, one that spins uses about as much as the time it took.
#include <ctime>

namespace pagemint::test {

class ThreadCpuClock {
public:
    ThreadCpuClock() : start_(now()) {}
    double elapsedMs() const { return now() - start_; }

private:
    static double now()
    {
        timespec time{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
        return static_cast<double>(time.tv_sec) * 1000.0 + static_cast<double>(time.tv_nsec) / 1e6;
    }
    double start_;
};

} // namespace pagemint::test
