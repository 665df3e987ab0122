// The image list's window part: List1 over the list's data, the hint over an empty list, the page
// and path labels of the selected entry, and the commands as the window carries them out.
#include "ui/frmMain.h"

#include "imagelist/ImageList.h"
#include "imagelist/ListOrder.h"
#include "ui/CCommonDialogs.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>

#include "ui/ImageListView.h"
#include <algorithm>

namespace pagemint {

int frmMain::selectedRow() const
{
    const QModelIndex current = List1->currentIndex();
    return current.isValid() && List1->selectionModel()->isSelected(current) ? current.row() : -1;
}

void frmMain::List1_Click()
{
    const int row = List1->currentIndex().row();
    if (row < 0)
        return;
    lblPage->setText(pageLabelText(row));
    lblFilename->setText(filenameLabelText(list_->at(row)));
}

void frmMain::showEmptyListState()
{
    picText->show();
    lblPage->setText(pageLabelText(-1));
}

void frmMain::addFileCommand(CCommonDialogs &dialogs)
{
    dialogs.setFilter(addFileFilter());
    dialogs.setTitle(QStringLiteral("打开文件"));
    const bool chosen = dialogs.ShowOpenFiles();
    QApplication::processEvents();
    if (!chosen)
        return;
    picText->hide();
    list_->append(inNameOrder(dialogs.Filenames()));
    // The next dialog starts without a preset name.
    dialogs.setFilename(QString());
    update();
}

void frmMain::removeSelectedCommand()
{
    std::vector<int> selected;
    for (const QModelIndex &index : List1->selectionModel()->selectedRows())
        selected.push_back(index.row());
    if (selected.empty())
        return;
    // Cleared first, so that the view moves no selection to a neighbour; the labels keep describing
    // the removed entry.
    List1->selectionModel()->clear();
    // From the last, so that each row still names its entry.
    std::sort(selected.rbegin(), selected.rend());
    for (int row : selected)
        list_->removeSelected(row);
    if (list_->count() == 0)
        showEmptyListState();
}

void frmMain::clearListCommand()
{
    list_->clear();
    showEmptyListState();
}

void frmMain::moveSelected(MoveDirection direction)
{
    const int target = list_->moveSelected(selectedRow(), direction);
    if (target >= 0)
        List1->setCurrentIndex(list_->index(target));
}

void frmMain::turnSelectedCommand(int degrees)
{
    QList<int> rows;
    for (const QModelIndex &index : List1->selectionModel()->selectedRows())
        rows.append(index.row());
    list_->turn(rows, degrees);
}

void frmMain::appendEntries(const QStringList &paths)
{
    list_->append(paths);
    if (list_->count() > 0)
        picText->hide();
}

void frmMain::showSearching(bool searching)
{
    searching_ = searching;
    if (searching) {
        picText->show();
        lblText->setText(QStringLiteral("搜索文件..."));
        setCommandsEnabled(false);
        return;
    }
    picText->setVisible(list_->count() == 0);
    lblText->setText(hintText());
    setCommandsEnabled(true);
    QApplication::processEvents();
    update();
}

void frmMain::imgUp_MouseDown()
{
    imgUp->clearPicture();
    moveSelected(MoveDirection::Up);
}

void frmMain::imgDown_MouseDown()
{
    imgDown->clearPicture();
    moveSelected(MoveDirection::Down);
}

} // namespace pagemint
