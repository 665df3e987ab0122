#pragma once
// Path rules of the picture list and the staging folder, on plain strings. The separator is the
// platform's ('/' here, '\' on Windows).

#include <QString>

namespace pagemint {

// Text after the last "." anywhere in the path; the whole path when it has no ".".
QString GetFileExtension(const QString &path);

// Text after the last separator; the whole path when it has none; "" for "".
QString GetFileName(const QString &path);

// GetFileName cut before its first "." ("holiday.2012.jpg" -> "holiday", ".jpg" -> "").
QString GetBaseName(const QString &path);

} // namespace pagemint
