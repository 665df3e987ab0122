#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pagemint::test {

namespace {
const QByteArray variables[] = {"HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"};
}

TestEnvironment::TestEnvironment()
{
    const QString base = dir_.path();
    for (const char *sub : {"/home", "/home/.cache", "/runtime"})
        QDir().mkpath(base + QString::fromLatin1(sub));
    QFile::setPermissions(base + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (const QByteArray &name : variables)
        saved_[name] = qgetenv(name.constData());
    qputenv("HOME", QFile::encodeName(base + QStringLiteral("/home")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(base + QStringLiteral("/home/.cache")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(base + QStringLiteral("/runtime")));
}

TestEnvironment::~TestEnvironment()
{
    for (const auto &[name, value] : saved_) {
        if (value.isEmpty())
            qunsetenv(name.constData());
        else
            qputenv(name.constData(), value);
    }
}

QString TestEnvironment::writeFile(const QString &relativePath, const QByteArray &bytes) const
{
    QString path = QDir(root()).filePath(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

} // namespace pagemint::test
