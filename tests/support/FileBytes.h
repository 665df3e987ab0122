#pragma once
// A file's whole contents, for comparing what a test wrote with what came out.

#include <QByteArray>
#include <QString>

#include <map>
#include <string>

namespace pagemint::test {

// Empty when the file cannot be read.
QByteArray bytesOf(const QString &path);

// Opens what the staged page at `page` stands for, as the converter does: the page file, or the
// picture the staging folder's references list for that name while it is still the file checked.
// -1 with the reason otherwise.
int openStagedPage(const QString &page, std::string &reason);
// The bytes it stands for; empty when it cannot be opened.
QByteArray stagedBytesOf(const QString &page);
// The bytes of every page staged in stagingFolder() now, by list position.
std::map<int, QByteArray> stagedPageBytes();

} // namespace pagemint::test
