#include "ui/FolderBrowser.h"

#include <QDir>
#include <QFileDialog>

namespace pagemint {

QString browseForFolder(QWidget *owner, const QString &prompt)
{
    QFileDialog dialog(owner, prompt);
    dialog.setObjectName(QStringLiteral("folderBrowser"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

} // namespace pagemint
