#pragma once

#include <QString>

class QWidget;

namespace pagemint {

// Lets the user choose a folder, modal to `owner`; empty when cancelled.
QString browseForFolder(QWidget *owner, const QString &prompt);

} // namespace pagemint
