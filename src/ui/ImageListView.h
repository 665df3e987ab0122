#pragma once
// The image list's view (List1): entries are reordered by dragging them, one or a selected block,
// with a line where they will go. Files dropped from outside are the main window's business.

#include <QListView>

namespace pagemint {

class ListRowsMimeData;

class ImageListView : public QListView {
    Q_OBJECT
public:
    explicit ImageListView(QWidget *parent);

    // Where a drag of entries now over the list would put them, as the row they would go in front
    // of (the row count: at the end); -1 when no such drag is over the list.
    int insertionRow() const { return insertionRow_; }
    // The line shown at the insertion row, in viewport coordinates; empty when none is shown.
    QRect insertionLine() const;
    // The row in front of which entries dropped at `point` (viewport coordinates) go: before the
    // row under it when in its upper half, else after it; after the last row below the rows.
    int insertionRowAt(QPoint point) const;

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // The rows the drag carries when they are entries of this list; nullptr for anything else.
    const ListRowsMimeData *ownRows(const QDropEvent *event) const;
    void showInsertion(int row);

    int insertionRow_ = -1;
};

} // namespace pagemint
