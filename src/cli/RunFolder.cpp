#include "cli/RunFolder.h"

#include "cli/CommandLineLog.h"
#include "cli/RunFolderSweep.h"
#include "common/ApplicationFolder.h"
#include "common/ExitRequest.h"
#include "contract/ConverterContract.h"
#include "contract/Descriptor.h"
#include "contract/StagingFolder.h"
#include "conversion/StagingPaths.h"

#include <QDeadlineTimer>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace pagemint {

namespace {
// How long an interrupted run spends removing its folder before it hands the rest on.
constexpr int kInterruptedRemovalMs = 300;
// How long a starting run spends removing the folders of dead runs before it hands the rest on.
constexpr int kDeadRunsRemovalMs = 100;

// Locks `folder`'s lock file for as long as the returned descriptor stays open (not in the
// programs the run starts: a converter left behind must not keep a dead run's folder). The file
// is made and locked under another name first, so a sweep that finds it never finds it free while
// its run lives. -1 (errno set) when it could not be done.
int lockRunFolder(const fs::path &folder)
{
    const fs::path lockFile = folder / std::string(kRunFolderLockName);
    const fs::path making = fs::path(lockFile).concat(".new");
    Descriptor lock(::open(making.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!lock.valid() || ::flock(lock.get(), LOCK_EX) != 0 || ::rename(making.c_str(), lockFile.c_str()) != 0)
        return -1;
    return lock.release();
}
} // namespace

RunFolder::RunFolder()
{
    // A run started by another run stages beside it, not in its folder.
    ::unsetenv(kStagingFolderVariable);
    const fs::path cache = stagingFolder().parent_path();
    std::error_code error;
    fs::create_directories(cache, error);
    removeDeadRunFolders(cache, QDeadlineTimer(kDeadRunsRemovalMs));
    std::string pattern = (cache / (std::string(kRunFolderPrefix) + "XXXXXX")).string();
    // mkdtemp makes it 0700 under a name no other run has.
    if (error || ::mkdtemp(pattern.data()) == nullptr) {
        problem_ = QStringLiteral("无法创建临时文件夹：%1（%2）")
                       .arg(fromFsPath(cache), QString::fromLocal8Bit(error ? error.message() : std::strerror(errno)));
        return;
    }
    folder_ = pattern;
    // Without its lock the run still works; only a sweep after a kill leaves its folder alone.
    lock_ = lockRunFolder(folder_);
    if (lock_ < 0)
        qCWarning(lcCommandLine, "%s not locked: %s", folder_.c_str(), std::strerror(errno));
    const fs::path converter = toFsPath(applicationFolder()) / "data" / std::string(kConverterFileName);
    fs::create_symlink(converter, folder_ / std::string(kRunConverterName), error);
    if (error) {
        problem_ = QStringLiteral("无法准备转换程序：%1（%2）")
                       .arg(fromFsPath(folder_), QString::fromLocal8Bit(error.message()));
        return;
    }
    ::setenv(kStagingFolderVariable, (folder_ / "inkleaf_tmp").c_str(), 1);
}

RunFolder::~RunFolder()
{
    if (folder_.empty())
        return;
    ::unsetenv(kStagingFolderVariable);
    // An interrupted run ends at once, as the user asked: gigabytes of staged pages take seconds to
    // delete on a busy disk, so what is not gone in a moment is left to a process of its own, in a
    // session of its own, which a second Ctrl-C at the terminal does not reach.
    removeRunFolder(folder_,
                    exitRequested ? QDeadlineTimer(kInterruptedRemovalMs) : QDeadlineTimer(QDeadlineTimer::Forever));
    // Held until here, so no other run's sweep starts on the folder while this one removes it.
    if (lock_ >= 0)
        ::close(lock_);
}

QString RunFolder::converterProgram() const
{
    return fromFsPath(folder_ / std::string(kRunConverterName));
}

} // namespace pagemint
