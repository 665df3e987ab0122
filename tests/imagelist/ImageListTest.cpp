// The image list and its commands as data, without any window.
#include "imagelist/ImageList.h"

#include <QDateTime>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace pagemint {
namespace {

QStringList paths(std::initializer_list<const char *> names)
{
    QStringList result;
    for (const char *name : names)
        result << QString::fromUtf8(name);
    return result;
}

TEST(ImageList, AppendsInOrderAsOneInsertionPerBatch)
{
    ImageList list;
    list.append(paths({"/a.jpg", "/b.jpg"}));
    QSignalSpy inserted(&list, &ImageList::rowsInserted);
    list.append(paths({"/c.jpg", "/a.jpg", "/d.jpg"}));
    list.append({});
    EXPECT_EQ(list.entries(), paths({"/a.jpg", "/b.jpg", "/c.jpg", "/a.jpg", "/d.jpg"}));
    // One layout of the view for the whole batch, none for an empty one.
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 2);
    EXPECT_EQ(inserted[0][2].toInt(), 4);
}

TEST(ImageList, AddFileTakesAnyNameButNotAnEmptyOne)
{
    ImageList list;
    list.addFile(QStringLiteral("/notes.txt"));
    list.addFile(QString());
    list.addFile(QStringLiteral("/notes.txt"));
    EXPECT_EQ(list.entries(), paths({"/notes.txt", "/notes.txt"}));
}

TEST(ImageList, ShowsEachPathAsItsTextAndIsNeverEditable)
{
    ImageList list;
    list.append(paths({"/p/数据.jpg"}));
    const QModelIndex first = list.index(0);
    EXPECT_EQ(first.data(Qt::DisplayRole).toString(), QStringLiteral("/p/数据.jpg"));
    EXPECT_EQ(first.data(Qt::EditRole).toString(), QStringLiteral("/p/数据.jpg"));
    EXPECT_FALSE(first.data(Qt::DecorationRole).isValid());
    EXPECT_FALSE(list.index(1).data().isValid());
    EXPECT_TRUE(list.flags(first).testFlag(Qt::ItemIsSelectable));
    EXPECT_FALSE(list.flags(first).testFlag(Qt::ItemIsEditable));
    // Entries are dragged to reorder the list; drops go between them, never onto one.
    EXPECT_TRUE(list.flags(first).testFlag(Qt::ItemIsDragEnabled));
    EXPECT_FALSE(list.flags(first).testFlag(Qt::ItemIsDropEnabled));
    EXPECT_TRUE(list.flags({}).testFlag(Qt::ItemIsDropEnabled));
    EXPECT_EQ(list.rowCount(first), 0) << "a flat list: no entry has children";
}

TEST(ImageList, RemoveSelected)
{
    struct Case {
        int selected;
        QStringList expected;
        bool removed;
    };
    const QStringList three = paths({"/1", "/2", "/3"});
    const Case cases[] = {
        {1, paths({"/1", "/3"}), true},
        {0, paths({"/2", "/3"}), true},
        {2, paths({"/1", "/2"}), true},
        {-1, three, false},
        {3, three, false},
    };
    for (const Case &c : cases) {
        ImageList list;
        list.append(three);
        EXPECT_EQ(list.removeSelected(c.selected), c.removed) << c.selected;
        EXPECT_EQ(list.entries(), c.expected) << c.selected;
    }
    ImageList empty;
    EXPECT_FALSE(empty.removeSelected(0));
}

TEST(ImageList, ClearEmptiesAndResetsViews)
{
    ImageList list;
    list.append(paths({"/1", "/2"}));
    QSignalSpy reset(&list, &ImageList::modelReset);
    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(reset.count(), 1);
}

TEST(ImageList, MoveSelectedExchangesWithTheNeighbourAndTellsWhereItWent)
{
    struct Case {
        int selected;
        MoveDirection direction;
        QStringList expected;
        int target;
    };
    const QStringList four = paths({"/1", "/2", "/3", "/4"});
    const Case cases[] = {
        {2, MoveDirection::Up, paths({"/1", "/3", "/2", "/4"}), 1},
        {1, MoveDirection::Down, paths({"/1", "/3", "/2", "/4"}), 2},
        {0, MoveDirection::Down, paths({"/2", "/1", "/3", "/4"}), 1},
        {3, MoveDirection::Up, paths({"/1", "/2", "/4", "/3"}), 2},
        {0, MoveDirection::Up, four, -1},
        {3, MoveDirection::Down, four, -1},
        {-1, MoveDirection::Down, four, -1},
        {4, MoveDirection::Up, four, -1},
    };
    for (const Case &c : cases) {
        ImageList list;
        list.append(four);
        QSignalSpy changed(&list, &ImageList::dataChanged);
        EXPECT_EQ(list.moveSelected(c.selected, c.direction), c.target) << c.selected;
        EXPECT_EQ(list.entries(), c.expected) << c.selected;
        if (c.target < 0) {
            EXPECT_EQ(changed.count(), 0) << c.selected;
            continue;
        }
        // Both rows are repainted, and no others.
        ASSERT_EQ(changed.count(), 1) << c.selected;
        EXPECT_EQ(changed[0][0].toModelIndex().row(), std::min(c.selected, c.target));
        EXPECT_EQ(changed[0][1].toModelIndex().row(), std::max(c.selected, c.target));
    }
}

TEST(ListOrder, OrdersByNameTimeReversalAndMoves)
{
    EXPECT_EQ(nameOrder(paths(
                  {"/p/10.jpg", "/p/2.jpg", "/p/1.jpg", "/p/第十页.jpg", "/p/第二页.jpg", "/p/B.jpg", "/p/a.jpg"})),
              (RowOrder{2, 1, 0, 6, 5, 4, 3}));
    EXPECT_EQ(inNameOrder(paths({"/p/10.jpg", "/p/2.jpg"})), paths({"/p/2.jpg", "/p/10.jpg"}));

    const QDateTime t1(QDate(2024, 1, 1), QTime(8, 0));
    const QDateTime t2(QDate(2024, 1, 2), QTime(8, 0));
    // Equal times keep their order; rows without any time go last, in theirs.
    EXPECT_EQ(timeOrder({t2, std::nullopt, t1, t2, t1, std::nullopt}), (RowOrder{2, 4, 0, 3, 1, 5}));
    EXPECT_EQ(timeOrder({}), RowOrder{});

    EXPECT_EQ(reversedOrder(4), (RowOrder{3, 2, 1, 0}));
    EXPECT_EQ(reversedOrder(0), RowOrder{});

    struct Move {
        std::vector<int> rows;
        int destination;
        RowOrder expected;
    };
    const Move moves[] = {
        {{3}, 0, {3, 0, 1, 2, 4}},          // one row up to the top
        {{0}, 5, {1, 2, 3, 4, 0}},          // one row to the end
        {{1}, 3, {0, 2, 1, 3, 4}},          // in front of row 3: one place down
        {{1}, 1, {0, 1, 2, 3, 4}},          // in front of itself: stays
        {{1}, 2, {0, 1, 2, 3, 4}},          // just after itself: stays
        {{1, 2}, 5, {0, 3, 4, 1, 2}},       // a block to the end
        {{4, 0, 2}, 2, {1, 0, 2, 4, 3}},    // scattered rows, in their list order, in front of row 2
        {{2, 2, 9, -1}, 0, {2, 0, 1, 3, 4}} // repeated and outside rows ignored
    };
    for (const Move &m : moves)
        EXPECT_EQ(movedOrder(5, m.rows, m.destination), m.expected) << m.destination;

    EXPECT_TRUE(isRowOrder({2, 0, 1}, 3));
    EXPECT_FALSE(isRowOrder({2, 0, 0}, 3));
    EXPECT_FALSE(isRowOrder({0, 1}, 3));
    EXPECT_FALSE(isRowOrder({0, 1, 3}, 3));
}

TEST(ImageList, ReorderMovesWholeEntriesAndKeepsPersistentIndexesOnThem)
{
    ImageList list;
    list.append(paths({"/a", "/b", "/c", "/d"}));
    const QPersistentModelIndex b = list.index(1);
    const QPersistentModelIndex d = list.index(3);
    QSignalSpy changed(&list, &ImageList::layoutChanged);
    list.moveEntries({1, 3}, 0);
    EXPECT_EQ(list.entries(), paths({"/b", "/d", "/a", "/c"}));
    EXPECT_EQ(b.row(), 0);
    EXPECT_EQ(d.row(), 1);
    list.reverse();
    EXPECT_EQ(list.entries(), paths({"/c", "/a", "/d", "/b"}));
    EXPECT_EQ(b.row(), 3);
    EXPECT_EQ(changed.count(), 2);
    // An order that is no rearrangement changes nothing.
    EXPECT_FALSE(list.reorder({0, 0, 1, 2}));
    EXPECT_FALSE(list.reorder({0, 1}));
    EXPECT_EQ(list.entries(), paths({"/c", "/a", "/d", "/b"}));
    EXPECT_EQ(changed.count(), 2);
}

TEST(ImageList, SortsByNameKeepingDuplicatesAndByTimeTakenWithTheFilesTimeForTheRest)
{
    ImageList list;
    list.append(paths({"/p/10.jpg", "/p/1.jpg", "/p/2.jpg", "/p/1.jpg"}));
    list.sortByName();
    EXPECT_EQ(list.entries(), paths({"/p/1.jpg", "/p/1.jpg", "/p/2.jpg", "/p/10.jpg"}));

    QTemporaryDir dir;
    auto file = [&](const char *name, const QDateTime &modified) {
        const QString path = dir.filePath(QString::fromUtf8(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a picture");
        f.flush();
        EXPECT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
        return path;
    };
    const QDateTime early(QDate(2021, 5, 1), QTime(9, 0));
    const QDateTime late(QDate(2022, 5, 1), QTime(9, 0));
    const QString a = file("a.jpg", late);
    const QString b = file("b.jpg", early);
    const QString c = file("c.jpg", late);
    const QString gone = dir.filePath(QStringLiteral("gone.jpg"));
    ImageList byTime;
    byTime.append({gone, a, b, c});
    byTime.sortByTakenTime();
    EXPECT_EQ(byTime.entries(), (QStringList{b, a, c, gone}));
}

} // namespace
} // namespace pagemint
