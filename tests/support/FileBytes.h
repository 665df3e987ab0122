#pragma once
// A file's whole contents, for comparing what a test wrote with what came out.

#include <QByteArray>
#include <QString>

namespace pagemint::test {

// Empty when the file cannot be read.
QByteArray bytesOf(const QString &path);

// The bytes a staged page stands for, as the converter reads them: the page's own, or the
// picture's its page reference names while that is still the file checked. Empty otherwise.
QByteArray stagedBytesOf(const QString &page);

} // namespace pagemint::test
