#include "ui/CCommonDialogs.h"

#include "ui/FileFilter.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace pagemint {

QString CCommonDialogs::upToNul(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

bool CCommonDialogs::ShowOpen()
{
    return showOpenDialog(false);
}

bool CCommonDialogs::ShowOpenFiles()
{
    return showOpenDialog(true);
}

bool CCommonDialogs::showOpenDialog(bool manyFiles)
{
    QFileDialog dialog(owner(), Title());
    dialog.setObjectName(QStringLiteral("ShowOpen"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(manyFiles ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setDirectory(openFolder_.isEmpty() ? QDir::currentPath() : openFolder_);
    const QStringList filters = toQtNameFilters(filter_);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.first());
    }
    if (!defExt_.isEmpty())
        dialog.setDefaultSuffix(defExt_);
    if (!Filename().isEmpty())
        dialog.selectFile(Filename());

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    filenames_.clear();
    for (const QString &file : dialog.selectedFiles())
        filenames_.append(QDir::toNativeSeparators(file));
    const QString chosen = filenames_.constFirst();
    const QFileInfo info(chosen);
    filename_ = chosen;
    fileTitle_ = info.fileName();
    path_ = chosen.left(chosen.lastIndexOf(QDir::separator()));
    openFolder_ = info.absolutePath();
    return true;
}

} // namespace pagemint
