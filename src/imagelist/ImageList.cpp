#include "imagelist/ImageList.h"

#include "contract/PageTurn.h"
#include "imagelist/ImageListLog.h"

#include <utility>

namespace pagemint {

QString entryText(const ListEntry &entry)
{
    if (entry.turn == 0)
        return entry.path;
    return entry.path + QStringLiteral("  ↻%1°").arg(entry.turn);
}

int ImageList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant ImageList::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const ListEntry &entry = entries_.at(index.row());
    return role == Qt::DisplayRole ? entryText(entry) : entry.path;
}

QStringList ImageList::entries() const
{
    QStringList paths;
    paths.reserve(entries_.size());
    for (const ListEntry &entry : entries_)
        paths.append(entry.path);
    return paths;
}

QList<int> ImageList::turns() const
{
    QList<int> turns;
    turns.reserve(entries_.size());
    for (const ListEntry &entry : entries_)
        turns.append(entry.turn);
    return turns;
}

Qt::ItemFlags ImageList::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

void ImageList::append(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    beginInsertRows({}, count(), count() + static_cast<int>(paths.size()) - 1);
    entries_.reserve(entries_.size() + paths.size());
    for (const QString &path : paths)
        entries_.append({path});
    endInsertRows();
    qCDebug(lcImageList, "the list holds %lld entries", static_cast<long long>(count()));
}

void ImageList::addFile(const QString &path)
{
    if (!path.isEmpty())
        append({path});
}

bool ImageList::removeSelected(int selected)
{
    if (selected < 0 || selected >= count())
        return false;
    beginRemoveRows({}, selected, selected);
    entries_.removeAt(selected);
    endRemoveRows();
    return true;
}

void ImageList::clear()
{
    beginResetModel();
    entries_.clear();
    endResetModel();
}

int ImageList::moveSelected(int selected, MoveDirection direction)
{
    const int target = moveTarget(selected, count(), direction);
    if (target < 0)
        return -1;
    // An exchange of two entries, as the rows stay where they are: the caller moves the selection.
    std::swap(entries_[selected], entries_[target]);
    const QModelIndex a = index(std::min(selected, target));
    Q_EMIT dataChanged(a, a.siblingAtRow(a.row() + 1), {Qt::DisplayRole, Qt::EditRole});
    return target;
}

bool ImageList::turn(const QList<int> &rows, int degrees)
{
    if (!quarterTurn(degrees))
        return false;
    for (int row : rows) {
        if (row < 0 || row >= count())
            continue;
        ListEntry &entry = entries_[row];
        entry.turn = *quarterTurn(entry.turn + degrees);
        const QModelIndex changed = index(row);
        Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole});
    }
    return true;
}

} // namespace pagemint
