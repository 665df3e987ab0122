#pragma once
// What a drag of the list's own entries carries: their rows and the list they belong to. It never
// leaves the program (no other program reads the format), so a drop can tell a reordering drag
// from files dropped from outside.

#include <QMimeData>

#include <vector>

namespace pagemint {

class ImageList;

class ListRowsMimeData : public QMimeData {
    Q_OBJECT
public:
    ListRowsMimeData(const ImageList *list, std::vector<int> rows);

    static QString format();
    const ImageList *list() const { return list_; }
    const std::vector<int> &rows() const { return rows_; }

private:
    const ImageList *list_;
    std::vector<int> rows_;
};

} // namespace pagemint
