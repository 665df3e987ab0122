#include "ui/SaveDialogRules.h"

#include <QDir>
#include <QFileInfo>

namespace pagemint {

namespace {

// Only spaces count as blank here, as in the property values callers fill in.
bool isBlank(const QString &text)
{
    for (const QChar c : text) {
        if (c != QLatin1Char(' '))
            return false;
    }
    return true;
}

bool endsInSeparator(const QString &path)
{
    return path.endsWith(QLatin1Char('/')) || path.endsWith(QDir::separator());
}

} // namespace

QString preparedSaveFolder(const QString &path, const QString &applicationFolder)
{
    if (isBlank(path))
        return applicationFolder;
    const QString folder = endsInSeparator(path) ? path : path + QDir::separator();
    // QFileInfo sees hidden folders like any other.
    return QFileInfo(folder).isDir() ? folder : applicationFolder;
}

QString saveDialogFilter(const QString &filter)
{
    return isBlank(filter) ? QStringLiteral("*.*|*.*") : filter;
}

} // namespace pagemint
