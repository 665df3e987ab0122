#pragma once

#include <QLockFile>

#include <memory>

namespace pagemint {

// Holds a lock file beside the staging folder for as long as this program runs; a second start
// of the program for the same user, from any desktop session, finds it taken. A lock left by a
// crashed run is taken over.
class SingleInstance {
public:
    SingleInstance();
    // False when another instance of the program runs for this user.
    bool acquire();

private:
    std::unique_ptr<QLockFile> lock_;
};

} // namespace pagemint
