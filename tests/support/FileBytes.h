#pragma once
// A file's whole contents, for comparing what a test wrote with what came out.

#include <QByteArray>
#include <QString>

namespace pagemint::test {

// Empty when the file cannot be read.
QByteArray bytesOf(const QString &path);

} // namespace pagemint::test
