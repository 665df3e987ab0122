#include "DecoderHelperRun.h"

#include "support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace pagemint::test {

QString fallbackDecoderPath()
{
    return QFileInfo(QStringLiteral(PAGEMINT_DECODER_PATH)).dir().filePath(QStringLiteral("pagemint-fallback-decoder"));
}

HelperExit runHelper(const QString &program, const QString &picture, const QString &page, const QString &stderrFile)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, QFile::encodeName(picture).constData(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, QFile::encodeName(page).constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, QFile::encodeName(stderrFile).constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const QByteArray path = QFile::encodeName(program);
    char *argv[] = {const_cast<char *>(path.constData()), nullptr};
    pid_t pid = -1;
    HelperExit result;
    if (posix_spawn(&pid, path.constData(), &actions, nullptr, argv, environ) == 0) {
        int status = 0;
        rusage usage{};
        if (wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status))
            result.exitCode = WEXITSTATUS(status);
        result.peakKilobytes = usage.ru_maxrss;
    }
    posix_spawn_file_actions_destroy(&actions);
    result.reason = QString::fromUtf8(bytesOf(stderrFile)).trimmed();
    return result;
}

} // namespace pagemint::test
