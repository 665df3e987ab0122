#include "ui/CCommonDialogs.h"

#include "ui/ColorRef.h"

#include <QColorDialog>

namespace pagemint {

bool CCommonDialogs::ShowColor(bool FullOpen)
{
    // Qt's colour dialog always shows its custom-colour part; there is nothing to open further.
    Q_UNUSED(FullOpen);
    // Custom colours are not kept from one call to the next.
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, QColor(Qt::black));

    QColorDialog dialog(colorFromColorRef(color_), owner());
    dialog.setObjectName(QStringLiteral("ShowColor"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    color_ = colorRefFromColor(dialog.selectedColor());
    return true;
}

} // namespace pagemint
