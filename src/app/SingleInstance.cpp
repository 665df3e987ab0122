#include "app/SingleInstance.h"

#include "app/AppLog.h"

#include "contract/StagingFolder.h"
#include "conversion/StagingPaths.h"

#include <QDir>
#include <QFileInfo>

namespace pagemint {

SingleInstance::SingleInstance()
{
    const QString path = fromFsPath(instanceLockFile());
    QDir().mkpath(QFileInfo(path).absolutePath());
    lock_ = std::make_unique<QLockFile>(path);
    // The lock belongs to a live process or to none: never let age alone make it stale.
    lock_->setStaleLockTime(0);
}

bool SingleInstance::acquire(const std::function<void()> &whileTaken)
{
    if (lock_->tryLock(0))
        return true;
    if (lock_->error() == QLockFile::LockFailedError) {
        if (whileTaken)
            whileTaken();
        if (lock_->tryLock(kEndingInstanceWaitMs))
            return true;
    }
    // The program then ends without a word, as it does when another instance runs.
    if (lock_->error() != QLockFile::LockFailedError)
        qCWarning(lcApp, "instance lock %s not taken: %s", qUtf8Printable(lock_->fileName()),
                  lock_->error() == QLockFile::PermissionError ? "permission denied" : "unknown error");
    return false;
}

} // namespace pagemint
