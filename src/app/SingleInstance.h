#pragma once

#include <QLockFile>
#include <QString>

#include <functional>
#include <memory>

namespace pagemint {

// Holds a lock file beside the staging folder for as long as this program runs; a second start
// of the program for the same user, from any desktop session, finds it taken. A lock left by a
// crashed run is taken over, also when this run got the crashed run's process id.
class SingleInstance {
public:
    SingleInstance();
    // An instance that is ending holds the lock until its last step: a start in that moment waits
    // this long for it before concluding that another instance runs.
    static constexpr int kEndingInstanceWaitMs = 3000;

    // False when another instance of the program runs for this user, or when the lock cannot be
    // made at all (problem() then says why). When the lock is found taken, `holderAnswered` is
    // asked once: true means the holder runs and heard us, so there is nothing to wait for.
    bool acquire(const std::function<bool()> &holderAnswered = {});
    // Why the program cannot run, in the user's words; empty when the lock was taken or another
    // instance holds it.
    QString problem() const { return problem_; }

private:
    // Removes a lock that names this very process as its holder: it was left by a run that had
    // our process id (a restart after a crash, in a fresh process namespace).
    void dropLockNamingUs();

    std::unique_ptr<QLockFile> lock_;
    QString folder_;
    QString problem_;
};

// The text for a lock folder that cannot be made or written: `folder`, what the system said, and,
// when the folder came from the account's home because HOME is unset, that too.
QString lockFolderProblem(const QString &folder, const QString &systemSaid, bool fromAccountHome);

} // namespace pagemint
