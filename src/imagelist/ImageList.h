#pragma once
// The image list: the ordered pictures a job converts, as data. The main window shows it through a
// view (List1); the commands here work on a row the caller says is selected, so they run and are
// tested without any window.

#include "imagelist/ImageListRules.h"

#include <QAbstractListModel>
#include <QStringList>

namespace pagemint {

class ImageList : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    // The path, for display and edit roles alike; nothing else.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // Selectable, never editable: the list holds what was chosen.
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    int count() const { return static_cast<int>(entries_.size()); }
    const QStringList &entries() const { return entries_; }
    // The path at `row`; "" when there is none.
    QString at(int row) const { return entries_.value(row); }

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

private:
    QStringList entries_;
};

} // namespace pagemint
