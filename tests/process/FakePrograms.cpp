#include "FakePrograms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pagemint::test {

namespace {
constexpr QFile::Permissions executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
}

QString FakePrograms::prepare(const QString &relativePath) const
{
    QString path = m_dir.filePath(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    return path;
}

QString FakePrograms::script(const QString &relativePath, const QByteArray &body) const
{
    QString path = data(relativePath, "#!/bin/sh\n" + body + "\n");
    QFile::setPermissions(path, executable);
    return path;
}

QString FakePrograms::copy(const QString &source, const QString &relativePath) const
{
    QString path = prepare(relativePath);
    QFile::copy(source, path);
    QFile::setPermissions(path, executable);
    return path;
}

QString FakePrograms::data(const QString &relativePath, const QByteArray &bytes) const
{
    QString path = prepare(relativePath);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

QByteArray patternBytes(qsizetype count)
{
    QByteArray bytes(count, Qt::Uninitialized);
    for (qsizetype i = 0; i < count; ++i)
        bytes[i] = static_cast<char>(i % 64 == 63 ? '\n' : 'A' + (i / 7) % 26);
    return bytes;
}

} // namespace pagemint::test
