#include "app/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace pagemint {

SingleInstance::SingleInstance()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    lock_ = std::make_unique<QLockFile>(QDir(folder).filePath(QStringLiteral("pagemint.lock")));
    // The lock belongs to a live process or to none: never let age alone make it stale.
    lock_->setStaleLockTime(0);
}

bool SingleInstance::acquire()
{
    return lock_->tryLock(0);
}

} // namespace pagemint
