#include "app/SingleInstance.h"

#include "app/AppLog.h"

#include "contract/StagingFolder.h"
#include "conversion/StagingPaths.h"

#include <QCoreApplication>
#include <QSysInfo>

#include <cstring>
#include <filesystem>

namespace pagemint {

namespace {
// Without HOME (and XDG_CACHE_HOME) the folder comes from the account's home, which may be missing.
bool folderFromAccountHome()
{
    return qEnvironmentVariableIsEmpty("HOME") && qEnvironmentVariableIsEmpty("XDG_CACHE_HOME");
}
} // namespace

SingleInstance::SingleInstance()
{
    const std::filesystem::path lockFile = instanceLockFile();
    folder_ = fromFsPath(lockFile.parent_path());
    // By the file system's bytes: a cache folder whose name is not UTF-8 is still ours.
    if (std::error_code error; !std::filesystem::create_directories(lockFile.parent_path(), error) && error)
        problem_ =
            lockFolderProblem(folder_, QString::fromLocal8Bit(std::strerror(error.value())), folderFromAccountHome());
    lock_ = std::make_unique<QLockFile>(fromFsPath(lockFile));
    // The lock belongs to a live process or to none: never let age alone make it stale.
    lock_->setStaleLockTime(0);
}

bool SingleInstance::acquire(const std::function<bool()> &holderAnswered)
{
    if (!problem_.isEmpty())
        return false;
    dropLockNamingUs();
    if (lock_->tryLock(0))
        return true;
    if (lock_->error() == QLockFile::LockFailedError) {
        // A running instance that answers is shown to the user; one that is ending does not
        // answer and lets go of its lock within moments.
        if (holderAnswered && holderAnswered())
            return false;
        if (lock_->tryLock(kEndingInstanceWaitMs))
            return true;
    }
    if (lock_->error() != QLockFile::LockFailedError) {
        const bool denied = lock_->error() == QLockFile::PermissionError;
        qCWarning(lcApp, "instance lock %s not taken: %s", qUtf8Printable(lock_->fileName()),
                  denied ? "permission denied" : "unknown error");
        problem_ = lockFolderProblem(folder_, QString::fromLocal8Bit(std::strerror(denied ? EACCES : EIO)),
                                     folderFromAccountHome());
    }
    return false;
}

void SingleInstance::dropLockNamingUs()
{
    qint64 pid = 0;
    QString host;
    QString application;
    if (!lock_->getLockInfo(&pid, &host, &application) || pid != QCoreApplication::applicationPid())
        return;
    // Qt names the machine by its unique id where it has one, else by its host name.
    const bool thisMachine = host.isEmpty() || host == QSysInfo::machineHostName() ||
                             host == QString::fromLatin1(QSysInfo::machineUniqueId());
    // Qt would take the lock for a live holder's: this process has not locked it, so no live
    // process holds it.
    if (thisMachine && !lock_->removeStaleLockFile())
        qCWarning(lcApp, "instance lock %s naming this process not removed", qUtf8Printable(lock_->fileName()));
}

QString lockFolderProblem(const QString &folder, const QString &systemSaid, bool fromAccountHome)
{
    QString text = QStringLiteral("Pagemint 无法启动：无法写入文件夹\n%1（%2）").arg(folder, systemSaid);
    if (fromAccountHome)
        text += QStringLiteral("\n环境变量 HOME 未设置，这个文件夹取自账户的主文件夹。");
    return text;
}

} // namespace pagemint
