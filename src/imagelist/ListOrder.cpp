#include "imagelist/ListOrder.h"

#include "imagelist/NaturalOrder.h"

#include <algorithm>
#include <numeric>

namespace pagemint {

namespace {

RowOrder identity(int count)
{
    RowOrder order(static_cast<std::size_t>(std::max(count, 0)));
    std::iota(order.begin(), order.end(), 0);
    return order;
}

} // namespace

RowOrder nameOrder(const QStringList &paths)
{
    // Each path is cut once, not at every comparison.
    std::vector<NaturalPathKey> keys;
    keys.reserve(static_cast<std::size_t>(paths.size()));
    for (const QString &path : paths)
        keys.push_back(naturalPathKey(path));
    RowOrder order = identity(static_cast<int>(paths.size()));
    std::stable_sort(order.begin(), order.end(), [&keys](int a, int b) {
        return naturalPathCompare(keys[std::size_t(a)], keys[std::size_t(b)]) < 0;
    });
    return order;
}

QStringList inNameOrder(const QStringList &paths)
{
    QStringList sorted;
    sorted.reserve(paths.size());
    for (int row : nameOrder(paths))
        sorted.append(paths[row]);
    return sorted;
}

RowOrder timeOrder(const std::vector<std::optional<QDateTime>> &times)
{
    std::vector<std::optional<qint64>> keys;
    keys.reserve(times.size());
    for (const std::optional<QDateTime> &time : times)
        keys.push_back(time ? std::optional(time->toMSecsSinceEpoch()) : std::nullopt);
    RowOrder order = identity(static_cast<int>(times.size()));
    std::stable_sort(order.begin(), order.end(), [&keys](int a, int b) {
        const std::optional<qint64> &x = keys[std::size_t(a)];
        const std::optional<qint64> &y = keys[std::size_t(b)];
        if (x.has_value() != y.has_value())
            return x.has_value();
        return x.has_value() && *x < *y;
    });
    return order;
}

RowOrder reversedOrder(int count)
{
    RowOrder order = identity(count);
    std::reverse(order.begin(), order.end());
    return order;
}

RowOrder movedOrder(int count, const std::vector<int> &moved, int destination)
{
    std::vector<bool> isMoved(static_cast<std::size_t>(std::max(count, 0)), false);
    for (int row : moved) {
        if (row >= 0 && row < count)
            isMoved[std::size_t(row)] = true;
    }
    RowOrder stay;
    RowOrder go;
    std::size_t insertAt = 0;
    for (int row = 0; row < count; ++row) {
        if (isMoved[std::size_t(row)]) {
            go.push_back(row);
            continue;
        }
        stay.push_back(row);
        if (row < destination)
            insertAt = stay.size();
    }
    stay.insert(stay.begin() + static_cast<std::ptrdiff_t>(insertAt), go.begin(), go.end());
    return stay;
}

bool isRowOrder(const RowOrder &order, int count)
{
    if (order.size() != static_cast<std::size_t>(std::max(count, 0)))
        return false;
    std::vector<bool> seen(order.size(), false);
    for (int row : order) {
        if (row < 0 || row >= count || seen[std::size_t(row)])
            return false;
        seen[std::size_t(row)] = true;
    }
    return true;
}

} // namespace pagemint
