#pragma once
// The image list: the ordered pictures a job converts, as data. The main window shows it through a
// view (List1); the commands here work on a row the caller says is selected, so they run and are
// tested without any window.

#include "imagelist/ImageListRules.h"
#include "imagelist/ListOrder.h"

#include <QAbstractListModel>
#include <QList>
#include <QStringList>

namespace pagemint {

// One entry: a picture, and the turn the user gave it (clockwise degrees: 0, 90, 180, 270) on top
// of its EXIF orientation. The turn goes where the entry goes.
struct ListEntry {
    QString path;
    int turn = 0;
};

// What the list shows for an entry: its path, and after it the turn the user gave it, if any.
QString entryText(const ListEntry &entry);

class ImageList : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    // The path and its turn for display (entryText), the path alone for editing; nothing else.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // Selectable and draggable (to reorder), never editable: the list holds what was chosen. Drops
    // go between entries, never onto one.
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A drag of entries carries their rows (ListRowsMimeData); the list is reordered, never copied from.
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }

    int count() const { return static_cast<int>(entries_.size()); }
    // The paths, in order.
    QStringList entries() const;
    // The turn of each entry, in order.
    QList<int> turns() const;
    // The path at `row`; "" when there is none.
    QString at(int row) const { return entries_.value(row).path; }
    // The turn of the entry at `row`; 0 when there is none.
    int turnAt(int row) const { return entries_.value(row).turn; }

    // Appends at the end, in order, as one insertion however many there are: a view lays its rows
    // out once per batch, not once per entry. The same path may be listed any number of times.
    void append(const QStringList &paths);
    // The add-file command: a dialog that gave no name adds nothing.
    void addFile(const QString &path);
    // Removes the entry at `selected`; false (and nothing changes) when no entry is there.
    bool removeSelected(int selected);
    void clear();
    // Exchanges the entry at `selected` with its neighbour (moveTarget); returns the row it is at
    // afterwards, or -1 when it stays.
    int moveSelected(int selected, MoveDirection direction);
    // Turns the entries at `rows` by `degrees` more, clockwise (negative: anticlockwise); rows
    // that hold no entry are passed over. False when `degrees` is no quarter turn.
    bool turn(const QList<int> &rows, int degrees);

    // Puts the entries in `order` (ListOrder.h) as one layout change, moving whole entries: views
    // keep their selection and current entry on the same entries. False (and nothing changes) when
    // `order` is not a rearrangement of the rows.
    bool reorder(const RowOrder &order);
    // The sorts of the 排序 menu: by name (nameOrder), by the time taken (takenTime, timeOrder),
    // reversed.
    void sortByName();
    void sortByTakenTime();
    void reverse();
    // Moves the entries at `rows` together in front of the entry at `destination` (movedOrder).
    void moveEntries(const std::vector<int> &rows, int destination);

private:
    QList<ListEntry> entries_;
};

} // namespace pagemint
