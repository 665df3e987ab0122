#include "imagelist/ImageListCommands.h"

#include "ui/CCommonDialogs.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>

namespace pagemint {

namespace {
void showEmptyListState(frmMain &window)
{
    window.picText->show();
    window.lblPage->setText(pageLabelText(-1));
}
} // namespace

QString addFileFilter()
{
    return QStringLiteral("JPG Files(*.jpg)|*.jpg|JPEG Files(*.jpeg)|*.jpeg|TIF Files(*.tif)|*.tif|"
                          "TIFF Files(*.tiff)|*.tiff|BMP Files(*.BMP)|*.bmp|GIF Files(*.gif)|*.gif|"
                          "PNG Files(*.png)|*.png|HEIC Files(*.heic)|*.heic|HEIF Files(*.heif)|*.heif|"
                          "AVIF Files(*.avif)|*.avif|WebP Files(*.webp)|*.webp|All Files(*.*)|*.*");
}

void addFileCommand(frmMain &window, CCommonDialogs &dialogs)
{
    dialogs.setFilter(addFileFilter());
    dialogs.setTitle(QStringLiteral("打开文件"));
    const bool chosen = dialogs.ShowOpen();
    QApplication::processEvents();
    if (!chosen)
        return;
    window.picText->hide();
    if (!dialogs.Filename().isEmpty())
        window.List1->addItem(dialogs.Filename());
    // The next dialog starts without a preset name.
    dialogs.setFilename(QString());
    window.update();
}

void removeSelectedCommand(frmMain &window)
{
    QListWidget &list = *window.List1;
    if (list.count() == 0)
        return;
    const int selected = list.currentRow();
    if (selected < 0 || !list.item(selected)->isSelected())
        return;
    {
        // The labels keep describing the removed entry and no neighbour gets selected.
        const QSignalBlocker blocker(list);
        delete list.takeItem(selected);
        list.setCurrentRow(-1);
        list.clearSelection();
    }
    list.viewport()->update();
    if (list.count() == 0)
        showEmptyListState(window);
}

void clearListCommand(frmMain &window)
{
    {
        const QSignalBlocker blocker(window.List1);
        window.List1->clear();
    }
    showEmptyListState(window);
}

void moveSelected(frmMain &window, MoveDirection direction)
{
    QListWidget &list = *window.List1;
    const int selected = list.currentItem() != nullptr && list.currentItem()->isSelected() ? list.currentRow() : -1;
    const int target = moveTarget(selected, list.count(), direction);
    if (target < 0)
        return;
    QListWidgetItem *from = list.item(selected);
    QListWidgetItem *to = list.item(target);
    const QString text = from->text();
    from->setText(to->text());
    to->setText(text);
    list.setCurrentRow(target);
}

void appendEntries(frmMain &window, const QStringList &paths)
{
    if (!paths.isEmpty())
        window.List1->addItems(paths);
    if (window.List1->count() > 0)
        window.picText->hide();
}

} // namespace pagemint
