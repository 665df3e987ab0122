#include "ui/ImageListView.h"

#include "imagelist/ImageList.h"
#include "imagelist/ListRowsMimeData.h"

#include <QDrag>
#include <QDropEvent>
#include <QPainter>

namespace pagemint {

ImageListView::ImageListView(QWidget *parent) : QListView(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    // The view takes only its own entries; drops from outside are filtered off before it sees them.
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false); // the line is drawn here: Qt's indicator is also drawn on rows
}

int ImageListView::insertionRowAt(QPoint point) const
{
    const QModelIndex under = indexAt(point);
    if (!under.isValid())
        return model() != nullptr ? model()->rowCount() : 0;
    return point.y() < visualRect(under).center().y() ? under.row() : under.row() + 1;
}

QRect ImageListView::insertionLine() const
{
    if (insertionRow_ < 0 || model() == nullptr)
        return {};
    const int rows = model()->rowCount();
    int y = 0;
    if (rows > 0) {
        const QRect row = visualRect(model()->index(std::min(insertionRow_, rows - 1), 0));
        y = insertionRow_ < rows ? row.top() : row.bottom() + 1;
    }
    return {0, std::max(y - 1, 0), viewport()->width(), 2};
}

void ImageListView::startDrag(Qt::DropActions)
{
    const QModelIndexList selected = selectedIndexes();
    if (selected.isEmpty() || model() == nullptr)
        return;
    // Our own drag, not the view's: after a move the view would remove the dragged rows itself.
    auto *drag = new QDrag(this);
    drag->setMimeData(model()->mimeData(selected));
    drag->exec(Qt::MoveAction);
}

const ListRowsMimeData *ImageListView::ownRows(const QDropEvent *event) const
{
    const auto *rows = qobject_cast<const ListRowsMimeData *>(event->mimeData());
    return rows != nullptr && rows->list() == model() ? rows : nullptr;
}

void ImageListView::showInsertion(int row)
{
    if (row == insertionRow_)
        return;
    insertionRow_ = row;
    viewport()->update();
}

void ImageListView::dragEnterEvent(QDragEnterEvent *event)
{
    if (ownRows(event) == nullptr) {
        event->ignore();
        return;
    }
    setState(DraggingState);
    event->setDropAction(Qt::MoveAction);
    event->accept();
    showInsertion(insertionRowAt(event->position().toPoint()));
}

void ImageListView::dragMoveEvent(QDragMoveEvent *event)
{
    if (ownRows(event) == nullptr) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    showInsertion(insertionRowAt(event->position().toPoint()));
    // Near the top or bottom edge the list scrolls, so that a long list can be crossed.
    const int y = event->position().toPoint().y();
    if (y < autoScrollMargin() || y > viewport()->height() - autoScrollMargin())
        startAutoScroll();
}

void ImageListView::dragLeaveEvent(QDragLeaveEvent *event)
{
    stopAutoScroll();
    setState(NoState);
    showInsertion(-1);
    event->accept();
}

void ImageListView::dropEvent(QDropEvent *event)
{
    stopAutoScroll();
    setState(NoState);
    const ListRowsMimeData *rows = ownRows(event);
    if (rows == nullptr) {
        showInsertion(-1);
        event->ignore();
        return;
    }
    const int destination = insertionRowAt(event->position().toPoint());
    showInsertion(-1);
    event->setDropAction(Qt::MoveAction);
    event->accept();
    // The list keeps the selection and the current entry on the moved entries.
    if (auto *list = qobject_cast<ImageList *>(model()))
        list->moveEntries(rows->rows(), destination);
}

void ImageListView::paintEvent(QPaintEvent *event)
{
    QListView::paintEvent(event);
    const QRect line = insertionLine();
    if (line.isEmpty())
        return;
    QPainter painter(viewport());
    painter.fillRect(line, palette().color(QPalette::Highlight));
}

} // namespace pagemint
