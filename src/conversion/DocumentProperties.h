#pragma once
// The document properties the engine keeps, and the conversion mode rule.

#include <QDateTime>
#include <QString>

namespace pagemint {

struct DocumentDefaults {
    static QString title() { return QStringLiteral("New PDF Document"); }
    static QString author() { return QStringLiteral("Quillpress"); }
    static QString subject() { return QStringLiteral("New Subject"); }
};

// "D:YYYYMMDDHHNNSS-06'00" for the given local time; the zone part is fixed whatever the
// machine's zone, so the text is always 22 characters long.
QString creationDateText(const QDateTime &localTime);

// Mode list items, and the rule that only selection 0 merges (no selection counts as one PDF per
// picture).
QString mergeModeText();
QString perPictureModeText();
bool onePdfPerPictureFor(int modeSelection);

} // namespace pagemint
