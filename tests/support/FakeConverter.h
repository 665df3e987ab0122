#pragma once
// A stand-in converter for tests that only need a process of the converter's name to run.
#include <QFile>
#include <QString>

namespace pagemint::test {

// A copy of sleep named pdf.exe in `folder`; returns its path.
inline QString fakeConverter(const QString &folder)
{
    QString path = folder + QStringLiteral("/pdf.exe");
    QFile::copy(QStringLiteral("/bin/sleep"), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
    return path;
}

} // namespace pagemint::test
