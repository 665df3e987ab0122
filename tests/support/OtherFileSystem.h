#pragma once
// A folder on a tmpfs of another device than the test's own folder, for what a program does
// across file systems (a copy where a rename would do on one).

#include <QFile>
#include <QString>

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

namespace pagemint::test {

inline dev_t deviceOf(const QString &path)
{
    struct stat status {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return status.st_dev;
}

// "/dev/shm" when it is a tmpfs apart from `beside`; empty when there is none.
inline QString tmpfsApartFrom(const QString &beside)
{
    struct statfs system {};
    if (::statfs("/dev/shm", &system) != 0 || system.f_type != TMPFS_MAGIC ||
        deviceOf(QStringLiteral("/dev/shm")) == deviceOf(beside))
        return {};
    return QStringLiteral("/dev/shm");
}

} // namespace pagemint::test
