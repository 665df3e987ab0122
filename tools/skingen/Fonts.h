#pragma once

#include <QFont>
#include <QString>

namespace skingen {

// The fonts are loaded from files rather than picked by fontconfig, so that the pictures do not
// change with whatever else a machine has installed.
struct FontFiles {
    QString cjk = QStringLiteral("/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc");
    QString latin = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
};

// Returns an error message, empty on success.
QString loadFonts(const FontFiles &files);

QFont cjkFont(int pixelSize, bool bold = true);
QFont latinFont(int pixelSize);

} // namespace skingen
