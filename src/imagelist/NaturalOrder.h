#pragma once
// The order in which a folder's entries are searched: the order a person sees in a file manager.

#include <QString>

namespace pagemint {

// Negative, zero or positive as `a` sorts before, with or after `b`: letters compare without case,
// runs of digits by their value (img2 before img10, however long the run). Names that differ only in
// case or leading zeros are ordered by fewer leading zeros, then by their exact characters, so only
// equal names compare equal and a sort gives one order whatever order readdir gave.
int naturalCompare(const QString &a, const QString &b);

inline bool naturalLess(const QString &a, const QString &b)
{
    return naturalCompare(a, b) < 0;
}

} // namespace pagemint
