#include "ui/FileFilter.h"

namespace pagemint {

namespace {
// "*.jpg" -> "*.[jJ][pP][gG]": Qt's wildcard sets make the match case-insensitive on every system.
QString eitherCase(const QString &pattern)
{
    QString result;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            result += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            result += c;
    }
    return result;
}
} // namespace

QStringList toQtNameFilters(const QString &filter)
{
    const QStringList items = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < items.size(); i += 2) {
        QStringList patterns;
        for (const QString &pattern : items.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns << eitherCase(pattern.trimmed());
        result << items.at(i) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return result;
}

QString nameFilterDescription(const QString &qtFilter)
{
    const qsizetype open = qtFilter.lastIndexOf(QStringLiteral(" ("));
    return open < 0 ? qtFilter : qtFilter.left(open);
}

} // namespace pagemint
