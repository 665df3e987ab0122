#pragma once
// New orders of the image list's rows, as plain functions: by name, by the time taken, reversed, or
// with some rows moved elsewhere. The list applies them (ImageList::reorder).

#include <QDateTime>
#include <QStringList>

#include <optional>
#include <vector>

namespace pagemint {

// An order of `n` rows: entry i of the new list is the entry that was at row order[i].
using RowOrder = std::vector<int>;

// By naturalPathCompare of the paths.
RowOrder nameOrder(const QStringList &paths);

// The paths themselves in nameOrder: what the open dialog gives, as the list takes it.
QStringList inNameOrder(const QStringList &paths);

// Earliest first; equal times keep their order, and rows without a time come last, in theirs.
RowOrder timeOrder(const std::vector<std::optional<QDateTime>> &times);

// The last row first.
RowOrder reversedOrder(int count);

// The rows `moved` (any rows, in any order; rows outside the list are ignored) taken out and put
// back together in their list order, in front of the row that was at `destination` (`count`: at the
// end). A destination inside the moved rows puts them where the first unmoved row after it was.
RowOrder movedOrder(int count, const std::vector<int> &moved, int destination);

// Whether `order` is a rearrangement of 0..count-1.
bool isRowOrder(const RowOrder &order, int count);

} // namespace pagemint
