#include "app/SingleInstance.h"

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

bool SingleInstance::acquire()
{
    return lock_->tryLock(0);
}

} // namespace pagemint
