#pragma once

#include <QString>
#include <QStringList>

namespace pagemint {

// Turns a "description|pattern|description|pattern" filter into Qt name filters, one per pair.
// Patterns separated by ";" are alternatives. Letters match in either case, as users of camera
// files (.JPG) expect; the description is what the dialog shows. A trailing description without
// a pattern is dropped.
QStringList toQtNameFilters(const QString &filter);

// The description shown for a Qt name filter made by toQtNameFilters.
QString nameFilterDescription(const QString &qtFilter);

} // namespace pagemint
