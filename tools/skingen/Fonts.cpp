#include "Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace skingen {

namespace {

QString g_cjkFamily;
QString g_latinFamily;

QString loadFamily(const QString &path, QString *family)
{
    const int id = QFontDatabase::addApplicationFont(path);
    const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty())
        return QStringLiteral("cannot load font %1").arg(path);
    *family = families.first();
    return {};
}

QFont makeFont(const QString &family, int pixelSize, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace

QString loadFonts(const FontFiles &files)
{
    QString error = loadFamily(files.cjk, &g_cjkFamily);
    if (error.isEmpty())
        error = loadFamily(files.latin, &g_latinFamily);
    return error;
}

QFont cjkFont(int pixelSize, bool bold)
{
    return makeFont(g_cjkFamily, pixelSize, bold);
}

// DejaVu Sans Bold is already bold; asking again would embolden it twice.
QFont latinFont(int pixelSize)
{
    return makeFont(g_latinFamily, pixelSize, false);
}

} // namespace skingen
