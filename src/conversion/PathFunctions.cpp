#include "PathFunctions.h"

namespace pagemint {

namespace {
#ifdef _WIN32
constexpr QChar kSeparator = u'\\';
#else
constexpr QChar kSeparator = u'/';
#endif
} // namespace

QString GetFileExtension(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot < 0 ? path : path.mid(dot + 1);
}

QString GetFileName(const QString &path)
{
    const qsizetype separator = path.lastIndexOf(kSeparator);
    return separator < 0 ? path : path.mid(separator + 1);
}

QString GetBaseName(const QString &path)
{
    const QString name = GetFileName(path);
    const qsizetype dot = name.indexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

} // namespace pagemint
