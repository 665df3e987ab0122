#include "ui/CCommonDialogs.h"

#include "ui/DialogWithoutExceptions.h"
#include "ui/FontSizes.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QGroupBox>

namespace pagemint {

namespace {

QFont startFont(const QString &name, qint16 points, bool bold, bool italic, bool underline)
{
    QFont font;
    // A blank name or size is left to the default font rather than handed on as an error.
    if (!name.isEmpty())
        font.setFamily(name);
    if (points > 0)
        font.setPointSize(points);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

// Qt's font dialog has no option to leave out its effects (underline, strike-out): hide the group
// that holds their check boxes, so the dialog offers what this program reads back.
void hideEffects(QFontDialog &dialog)
{
    for (QGroupBox *group : dialog.findChildren<QGroupBox *>()) {
        if (group->findChild<QCheckBox *>() != nullptr)
            group->hide();
    }
}

} // namespace

bool CCommonDialogs::ShowFont()
{
    return withoutErrors("font dialog", [this] {
        QFontDialog dialog(startFont(fontName_, fontSize_, fontBold_, fontItalic_, fontUnderline_), owner());
        dialog.setObjectName(QStringLiteral("ShowFont"));
        // The platform's own dialog could not have its effects hidden.
        dialog.setOption(QFontDialog::DontUseNativeDialog);
        hideEffects(dialog);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        const QFont chosen = dialog.selectedFont();
        fontName_ = chosen.family();
        fontBold_ = chosen.weight() >= QFont::Bold;
        fontItalic_ = chosen.italic();
        if (const qint16 points = truncatedPointSize(chosen.pointSizeF()); points > 0)
            fontSize_ = points;
        return true;
    });
}

} // namespace pagemint
