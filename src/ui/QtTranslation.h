#pragma once
// Qt's own texts (the buttons of every message box, the file, folder, colour, font and print
// dialogs) in the program's language. Qt loads no translation by itself, and the program speaks
// Chinese whatever the system's locale.

class QTranslator;

namespace pagemint {

// Installs Qt's Simplified Chinese translation (qtbase_zh_CN, Debian's qt6-translations-l10n) on
// the application and makes Chinese the default locale, so that dates and file types in Qt's
// dialogs follow. Returns the translation (owned by the application), or null with a logged line
// when it is not there: Qt's texts then stay English.
QTranslator *installChineseForQt();

} // namespace pagemint
