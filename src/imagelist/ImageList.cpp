#include "imagelist/ImageList.h"

#include "contract/PageTurn.h"
#include "imagelist/ImageListLog.h"
#include "imagelist/ListRowsMimeData.h"
#include "imagelist/TakenTime.h"

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
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QStringList ImageList::mimeTypes() const
{
    return {ListRowsMimeData::format()};
}

QMimeData *ImageList::mimeData(const QModelIndexList &indexes) const
{
    std::vector<int> rows;
    for (const QModelIndex &index : indexes) {
        if (checkIndex(index, CheckIndexOption::IndexIsValid))
            rows.push_back(index.row());
    }
    return new ListRowsMimeData(this, std::move(rows));
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

bool ImageList::reorder(const RowOrder &order)
{
    if (!isRowOrder(order, count()))
        return false;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    decltype(entries_) before = std::move(entries_);
    entries_.clear();
    entries_.reserve(before.size());
    std::vector<int> newRowOf(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        entries_.push_back(std::move(before[order[i]]));
        newRowOf[std::size_t(order[i])] = static_cast<int>(i);
    }
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex &old : from)
        to.append(index(newRowOf[std::size_t(old.row())]));
    changePersistentIndexList(from, to);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return true;
}

void ImageList::sortByName()
{
    QStringList paths;
    paths.reserve(count());
    for (int row = 0; row < count(); ++row)
        paths.append(at(row));
    reorder(nameOrder(paths));
}

void ImageList::sortByTakenTime()
{
    std::vector<std::optional<QDateTime>> times;
    times.reserve(std::size_t(count()));
    for (int row = 0; row < count(); ++row)
        times.push_back(takenTime(at(row)));
    reorder(timeOrder(times));
}

void ImageList::reverse()
{
    reorder(reversedOrder(count()));
}

void ImageList::moveEntries(const std::vector<int> &rows, int destination)
{
    reorder(movedOrder(count(), rows, destination));
}

} // namespace pagemint
