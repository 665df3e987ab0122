#include "ui/MessageBox.h"

namespace pagemint {

QMessageBox::StandardButton ShowMessage(QWidget *owner, const QString &text, const QString &caption,
                                        QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                                        const QString &details)
{
    QMessageBox box(icon, caption, text, buttons, owner);
    box.setObjectName(QStringLiteral("pagemintMessage"));
    if (!details.isEmpty())
        box.setDetailedText(details);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace pagemint
