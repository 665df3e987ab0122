// The save-file and folder dialogs of CCommonDialogs (the open-file dialog is in CCommonDialogs.cpp).
#include "ui/CCommonDialogs.h"

#include "common/ApplicationFolder.h"
#include "ui/FileFilter.h"
#include "ui/SaveDialogRules.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace pagemint {

namespace {
// Longest file name the Filename property passes on.
constexpr qsizetype maxFilenameLength = 255;
} // namespace

bool CCommonDialogs::ShowSave()
{
    path_ = preparedSaveFolder(Path(), applicationFolder());

    QFileDialog dialog(owner(), QStringLiteral("Save"));
    dialog.setObjectName(QStringLiteral("ShowSave"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Callers decide themselves what to do with a file that is already there.
    dialog.setOptions(QFileDialog::HideNameFilterDetails | QFileDialog::DontConfirmOverwrite);
    dialog.setDirectory(path_);
    const QStringList filters = toQtNameFilters(saveDialogFilter(filter_));
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.first());
    }

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString chosen = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    filename_ = chosen.left(maxFilenameLength);
    fileTitle_ = QFileInfo(chosen).fileName();
    path_ = filename_.left(filename_.lastIndexOf(QDir::separator()));
    return true;
}

bool CCommonDialogs::ShowFolder()
{
    QFileDialog dialog(owner(), Title());
    dialog.setObjectName(QStringLiteral("ShowFolder"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    path_ = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    filename_.clear();
    fileTitle_.clear();
    return true;
}

} // namespace pagemint
