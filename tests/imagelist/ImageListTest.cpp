// The image list and its commands as data, without any window.
#include "imagelist/ImageList.h"

#include <QSignalSpy>
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
    EXPECT_FALSE(list.flags(first).testFlag(Qt::ItemIsDragEnabled));
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

} // namespace
} // namespace pagemint
