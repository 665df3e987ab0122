#pragma once
// Qt's own texts (the buttons of every message box, the file, folder, colour, font and print
// dialogs) in the program's language. Qt loads no translation by itself, and the program speaks
// Chinese whatever the system's locale.

class QObject;

namespace pagemint {

// Installs Qt's Simplified Chinese translation (qtbase_zh_CN, Debian's qt6-translations-l10n) on
// the application with the few words it lacks, makes Chinese the default locale, and has the file
// dialogs show sizes and dates in it. Returns what holds all of it (a child of the application;
// deleting it puts Qt's English back), or null with a logged line when the translation is not
// there: Qt's texts then stay English.
QObject *installChineseForQt();

} // namespace pagemint
