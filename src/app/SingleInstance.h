#pragma once

#include <QLockFile>

#include <functional>
#include <memory>

namespace pagemint {

// Holds a lock file beside the staging folder for as long as this program runs; a second start
// of the program for the same user, from any desktop session, finds it taken. A lock left by a
// crashed run is taken over.
class SingleInstance {
public:
    SingleInstance();
    // An instance that is ending holds the lock until its last step: a start in that moment waits
    // this long for it before concluding that another instance runs.
    static constexpr int kEndingInstanceWaitMs = 3000;

    // False when another instance of the program runs for this user. `whileTaken` runs once when
    // the lock is found taken, before the wait.
    bool acquire(const std::function<void()> &whileTaken = {});

private:
    std::unique_ptr<QLockFile> lock_;
};

} // namespace pagemint
