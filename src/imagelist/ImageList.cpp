#include "imagelist/ImageList.h"

#include "imagelist/ImageListLog.h"

#include <utility>

namespace pagemint {

int ImageList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant ImageList::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return entries_.at(index.row());
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
    entries_.append(paths);
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
    // An exchange of two texts, as the rows stay where they are: the caller moves the selection.
    std::swap(entries_[selected], entries_[target]);
    const QModelIndex a = index(std::min(selected, target));
    Q_EMIT dataChanged(a, a.siblingAtRow(a.row() + 1), {Qt::DisplayRole, Qt::EditRole});
    return target;
}

} // namespace pagemint
