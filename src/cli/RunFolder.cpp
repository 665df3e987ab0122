#include "cli/RunFolder.h"

#include "cli/CommandLineLog.h"
#include "common/ApplicationFolder.h"
#include "common/ExitRequest.h"
#include "contract/ConverterContract.h"
#include "contract/FolderRemovalApart.h"
#include "contract/FolderTree.h"
#include "contract/StagingFolder.h"
#include "conversion/StagingPaths.h"

#include <QDeadlineTimer>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

namespace fs = std::filesystem;

namespace pagemint {

namespace {
// How long an interrupted run spends removing its folder before it hands the rest on.
constexpr int kInterruptedRemovalMs = 300;
} // namespace

RunFolder::RunFolder()
{
    // A run started by another run stages beside it, not in its folder.
    ::unsetenv(kStagingFolderVariable);
    const fs::path cache = stagingFolder().parent_path();
    std::error_code error;
    fs::create_directories(cache, error);
    std::string pattern = (cache / "pagemint-run.XXXXXX").string();
    // mkdtemp makes it 0700 under a name no other run has.
    if (error || ::mkdtemp(pattern.data()) == nullptr) {
        problem_ = QStringLiteral("无法创建临时文件夹：%1（%2）")
                       .arg(fromFsPath(cache), QString::fromLocal8Bit(error ? error.message() : std::strerror(errno)));
        return;
    }
    folder_ = pattern;
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
    const QDeadlineTimer deadline(exitRequested ? QDeadlineTimer(kInterruptedRemovalMs)
                                                : QDeadlineTimer(QDeadlineTimer::Forever));
    const bool gone = removeFolderTree(folder_, {[&deadline] { return !deadline.hasExpired(); },
                                                 [](const fs::path &entry, const std::error_code &error) {
                                                     qCWarning(lcCommandLine, "%s not removed: %s", entry.c_str(),
                                                               error.message().c_str());
                                                 }});
    if (!gone && deadline.hasExpired() && !removeFolderTreeApart(folder_))
        qCWarning(lcCommandLine, "%s not removed: %s", folder_.c_str(), std::strerror(errno));
}

QString RunFolder::converterProgram() const
{
    return fromFsPath(folder_ / std::string(kRunConverterName));
}

} // namespace pagemint
