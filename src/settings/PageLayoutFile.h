#pragma once
// pagemint.ini: the page layout and the text recognition, kept beside setting.dll in the
// application folder (setting.dll keeps its two lines, which older copies read). An INI file of two
// sections, both written whenever either is:
//   [Page]
//   Paper=original|A4|A5|B5|Letter|Legal|picture
//   Orientation=auto|portrait|landscape
//   MarginMm=0..50
//   Fit=fit|shrink
//   [Text]
//   Recognition=off|chi_sim+eng|eng
//   Upright=true|false

#include "contract/PageLayout.h"
#include "contract/TextRecognition.h"

#include <QString>

namespace pagemint {

// applicationFolder() + "/pagemint.ini".
QString pageLayoutFilePath();

// The layout the file holds. A missing file or key keeps the default; a value that is not one of
// the key's words is left out with a warning, and the other keys still count.
PageLayout readPageLayoutFile(const QString &path);

// The text recognition the file holds, by the same rules.
TextChoice readTextChoiceFile(const QString &path);

// Writes every key of both sections. False, with a warning, when the file could not be written;
// the old one then stays. In a folder where only the file itself may be written, it is written in
// place.
bool writePagemintIni(const QString &path, const PageLayout &layout, const TextChoice &text);
// Writes one section's keys, and the other section's as the file holds them now.
bool writePageLayoutFile(const QString &path, const PageLayout &layout);
bool writeTextChoiceFile(const QString &path, const TextChoice &text);

} // namespace pagemint
