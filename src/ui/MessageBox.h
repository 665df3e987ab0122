#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace pagemint {

// Caption of message boxes that give none of their own.
inline const QString &applicationTitle()
{
    static const QString title = QStringLiteral("Pagemint");
    return title;
}

// Every message box of the program goes through here: modal, with the given icon, buttons and
// caption. A non-empty `details` goes behind the box's details button, for what is too long to
// show. The box fits on its screen, details opened or not: a text too tall for it is cut at a line
// ("…") and shown whole in the details, where it scrolls. Returns the button pressed. Tests answer it like a user would
// (see tests/support).
QMessageBox::StandardButton ShowMessage(QWidget *owner, const QString &text, const QString &caption,
                                        QMessageBox::Icon icon, QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                        const QString &details = QString());

} // namespace pagemint
