#pragma once
// Root ignores file modes, and CI runs as root. While a FileAccessAsNobody lives, this thread's file
// access is checked as user "nobody" (setfsuid also drops root's file capabilities), so a test of
// a mode bit can fail there too. Run as any other user it changes nothing: that user is checked.
#include <QDir>
#include <QFile>
#include <QString>

#include <sys/fsuid.h>
#include <unistd.h>

namespace pagemint::test {

constexpr uid_t nobodyId = 65534;

class FileAccessAsNobody {
public:
    FileAccessAsNobody()
    {
        if (geteuid() == 0) {
            setfsgid(nobodyId);
            setfsuid(nobodyId);
        }
    }
    ~FileAccessAsNobody()
    {
        if (geteuid() == 0) {
            setfsuid(0);
            setfsgid(0);
        }
    }
    FileAccessAsNobody(const FileAccessAsNobody &) = delete;
    FileAccessAsNobody &operator=(const FileAccessAsNobody &) = delete;
};

// Makes `base`/`name` a folder for files "nobody" makes and owns, and lets nobody pass through
// `base` (a test's own temporary folder) to reach it. Returns the folder, empty on failure.
inline QString makeFolderForNobody(const QString &base, const QString &name)
{
    QString folder = base + QLatin1Char('/') + name;
    if (!QDir().mkpath(folder))
        return {};
    if (geteuid() == 0) {
        QFile::setPermissions(base, QFile::permissions(base) | QFile::ExeOther);
        if (chown(QFile::encodeName(folder).constData(), nobodyId, nobodyId) != 0)
            return {};
    }
    return folder;
}

} // namespace pagemint::test
