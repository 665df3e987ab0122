#pragma once
// pagemint.ini: the page layout, kept beside setting.dll in the application folder (setting.dll
// keeps its two lines, which older copies read). An INI file of one section:
//   [Page]
//   Paper=original|A4|A5|B5|Letter|Legal|picture
//   Orientation=auto|portrait|landscape
//   MarginMm=0..50
//   Fit=fit|shrink

#include "contract/PageLayout.h"

#include <QString>

namespace pagemint {

// applicationFolder() + "/pagemint.ini".
QString pageLayoutFilePath();

// The layout the file holds. A missing file or key keeps the default; a value that is not one of
// the key's words is left out with a warning, and the other keys still count.
PageLayout readPageLayoutFile(const QString &path);

// Writes every key. False, with a warning, when the file could not be written; the old one then
// stays. In a folder where only the file itself may be written, it is written in place.
bool writePageLayoutFile(const QString &path, const PageLayout &layout);

} // namespace pagemint
