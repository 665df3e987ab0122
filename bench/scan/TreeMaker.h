#pragma once
// The benchmark's folder tree: 2,000 folders of 25 files each, 15 of them pictures.

#include <QString>

namespace pagemint::bench {

struct TreeCounts {
    int folders = 0;
    int files = 0;
    int pictures = 0;
};

// Makes the tree under `root` (which must not exist yet); counts what it made.
TreeCounts makeScanTree(const QString &root);

} // namespace pagemint::bench
