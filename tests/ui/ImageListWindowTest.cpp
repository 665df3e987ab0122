// The list commands as the window carries them out: the dialog, the hint, the labels, the selection.
#include "EngineFixture.h"
#include "ModalAnswerer.h"

#include "imagelist/ImageList.h"
#include "imagelist/ImageListRules.h"
#include "imagelist/ListRowsMimeData.h"
#include "ui/ImageListView.h"

#include <QAction>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>

namespace pagemint::test {
namespace {

class ImageListWindow : public EngineFixture {
protected:
    void addThroughDialog(const QString &path)
    {
        ModalAnswerer answerer;
        answerer.then([path](QWidget *dialog) { chooseFile(dialog, path); });
        engine().CmdToolsBar_Click(0);
        EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(QLatin1Char(';')).toStdString();
    }
    void select(int row) { selectRow(row); }
    QString pageLabel() { return control<QLabel>(window(), "lblPage")->text(); }
    QString filenameLabel() { return control<QLabel>(window(), "lblFilename")->text(); }
};

TEST_F(ImageListWindow, StartsEmptyWithTheHintAndPageZero)
{
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_FALSE(control(window(), "picText")->isHidden());
    EXPECT_EQ(pageLabel(), QStringLiteral("所在页码: 0"));
    EXPECT_EQ(List1()->currentIndex().row(), -1);
    EXPECT_EQ(control<QLabel>(window(), "lblText")->text(), QStringLiteral("请拖拽您的图片到这里"));
}

TEST_F(ImageListWindow, AddAppendsTheChosenFileEvenTwiceAndWhateverItIs)
{
    const QString picture = env_.writeFile(QStringLiteral("pics/a.jpg"), "x");
    const QString text = env_.writeFile(QStringLiteral("pics/notes.txt"), "x");
    addThroughDialog(picture);
    addThroughDialog(picture);
    addThroughDialog(text);
    EXPECT_EQ(entries(), (QStringList{picture, picture, text}));
    EXPECT_TRUE(control(window(), "picText")->isHidden());
    // A new entry is not selected and the labels stay as they were.
    EXPECT_EQ(List1()->currentIndex().row(), -1);
    EXPECT_EQ(pageLabel(), QStringLiteral("所在页码: 0"));
    // The next dialog starts without a preset name.
    EXPECT_TRUE(engine().dialogs().Filename().isEmpty());
}

TEST_F(ImageListWindow, CancelledDialogChangesNothing)
{
    ModalAnswerer answerer;
    answerer.then(cancelDialog);
    engine().CmdToolsBar_Click(0);
    EXPECT_TRUE(answerer.failures().isEmpty());
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_FALSE(control(window(), "picText")->isHidden());
}

TEST_F(ImageListWindow, SelectingShowsPageAndShortenedPath)
{
    const QString longPath = QStringLiteral("/a/") + QString(45, QLatin1Char('p')) + QStringLiteral(".jpg");
    addEntries({QStringLiteral("/a/1.jpg"), longPath});
    select(1);
    EXPECT_EQ(pageLabel(), QStringLiteral("所在页码: 2"));
    EXPECT_EQ(filenameLabel(), QStringLiteral("...") + longPath.right(40));
    select(0);
    EXPECT_EQ(filenameLabel(), QStringLiteral("/a/1.jpg"));
}

TEST_F(ImageListWindow, RemoveWithoutSelectionChangesNothing)
{
    addEntries({QStringLiteral("/a/1.jpg"), QStringLiteral("/a/2.jpg")});
    engine().CmdToolsBar_Click(2);
    EXPECT_EQ(entries().size(), 2);
}

TEST_F(ImageListWindow, RemovingTheOnlyEntryShowsTheHintButKeepsThePath)
{
    addEntries({QStringLiteral("/a/only.jpg")});
    select(0);
    engine().CmdToolsBar_Click(2);
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_FALSE(control(window(), "picText")->isHidden());
    EXPECT_EQ(pageLabel(), QStringLiteral("所在页码: 0"));
    EXPECT_EQ(filenameLabel(), QStringLiteral("/a/only.jpg"));
}

TEST_F(ImageListWindow, RemovingFromTheMiddleSelectsNoNeighbourAndKeepsTheLabels)
{
    addEntries({QStringLiteral("/1.jpg"), QStringLiteral("/2.jpg"), QStringLiteral("/3.jpg")});
    select(1);
    engine().CmdToolsBar_Click(2);
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("/1.jpg"), QStringLiteral("/3.jpg")}));
    EXPECT_EQ(List1()->selectionModel()->selectedIndexes().size(), 0);
    EXPECT_EQ(pageLabel(), QStringLiteral("所在页码: 2"));
    EXPECT_EQ(filenameLabel(), QStringLiteral("/2.jpg"));
    // A second remove with nothing selected does nothing.
    engine().CmdToolsBar_Click(2);
    EXPECT_EQ(entries().size(), 2);
}

TEST_F(ImageListWindow, ClearEmptiesTheListAndShowsTheHint)
{
    addEntries({QStringLiteral("/1.jpg"), QStringLiteral("/2.jpg")});
    select(1);
    engine().CmdToolsBar_Click(3);
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_FALSE(control(window(), "picText")->isHidden());
    EXPECT_EQ(pageLabel(), QStringLiteral("所在页码: 0"));
}

TEST_F(ImageListWindow, MovesCarryTheSelectionAndTheLabels)
{
    const QStringList five = {QStringLiteral("/1"), QStringLiteral("/2"), QStringLiteral("/3"), QStringLiteral("/4"),
                              QStringLiteral("/5")};
    addEntries(five);
    select(2);
    engine().CmdToolsBar_Click(6); // up
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("/1"), QStringLiteral("/3"), QStringLiteral("/2"),
                                      QStringLiteral("/4"), QStringLiteral("/5")}));
    EXPECT_EQ(List1()->currentIndex().row(), 1);
    EXPECT_EQ(pageLabel(), QStringLiteral("所在页码: 2"));
    EXPECT_EQ(filenameLabel(), QStringLiteral("/3"));

    engine().CmdToolsBar_Click(4); // down, back where it was
    EXPECT_EQ(entries(), five);
    EXPECT_EQ(pageLabel(), QStringLiteral("所在页码: 3"));

    // The arrow zones and their captions move the same way.
    window().imgDown_MouseDown();
    EXPECT_EQ(List1()->currentIndex().row(), 3);
    window().imgUp_MouseDown();
    EXPECT_EQ(List1()->currentIndex().row(), 2);
    EXPECT_EQ(entries(), five);
}

TEST_F(ImageListWindow, MovesAtTheEndsOrWithoutSelectionDoNothing)
{
    const QStringList three = {QStringLiteral("/1"), QStringLiteral("/2"), QStringLiteral("/3")};
    addEntries(three);
    engine().CmdToolsBar_Click(6);
    engine().CmdToolsBar_Click(4);
    select(0);
    engine().CmdToolsBar_Click(6);
    EXPECT_EQ(List1()->currentIndex().row(), 0);
    select(2);
    engine().CmdToolsBar_Click(4);
    EXPECT_EQ(List1()->currentIndex().row(), 2);
    EXPECT_EQ(entries(), three);
}

TEST_F(ImageListWindow, ManyFilesChosenAtOnceJoinInNaturalOrderAfterTheLastEntry)
{
    const QString ten = env_.writeFile(QStringLiteral("pics/10.jpg"), "x");
    const QString two = env_.writeFile(QStringLiteral("pics/2.png"), "x");
    const QString one = env_.writeFile(QStringLiteral("pics/1.heic"), "x");
    addEntries({QStringLiteral("/first.jpg")});
    QStringList filters;
    ModalAnswerer answerer;
    answerer.then([&](QWidget *window) {
        auto *dialog = qobject_cast<QFileDialog *>(window);
        if (dialog == nullptr)
            return cancelDialog(window);
        filters = dialog->nameFilters();
        // Chosen in the dialog's own order, not the list's.
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
            ->setText(QStringLiteral("\"%1\" \"%2\" \"%3\"").arg(ten, one, two));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    engine().CmdToolsBar_Click(0);
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(QLatin1Char(';')).toStdString();
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("/first.jpg"), one, two, ten}));
    // Every picture the list takes under the first filter, so a folder of PNG and HEIC shows them.
    ASSERT_FALSE(filters.isEmpty());
    EXPECT_TRUE(filters[0].startsWith(QStringLiteral("所有图片"))) << filters[0].toStdString();
    for (const char *pattern : {"[jJ][pP][gG]", "[hH][eE][iI][cC]", "[wW][eE][bB][pP]", "[tT][iI][fF][fF]"})
        EXPECT_TRUE(filters[0].contains(QLatin1String(pattern))) << pattern;
    EXPECT_TRUE(filters.last().startsWith(QStringLiteral("All Files")));
}

TEST_F(ImageListWindow, SortsFromTheControlMenuAndThePopUpKeepTheSelectionOnItsPictures)
{
    addEntries({QStringLiteral("/p/第十页.jpg"), QStringLiteral("/p/第二页.jpg"), QStringLiteral("/p/10.jpg"),
                QStringLiteral("/p/2.jpg")});
    select(1); // 第二页
    QMenu *control = engine().menuOfZone(2);
    auto action = [](QMenu *menu, const char *name) { return menu->findChild<QAction *>(QString::fromLatin1(name)); };
    ASSERT_NE(action(control, "menuSortName"), nullptr);
    EXPECT_EQ(action(control, "menuSortName")->text(), QStringLiteral("按文件名排序"));
    EXPECT_EQ(action(control, "menuSortTaken")->text(), QStringLiteral("按拍摄时间排序"));
    EXPECT_EQ(action(control, "menuReverse")->text(), QStringLiteral("倒序"));
    action(control, "menuSortName")->trigger();
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("/p/2.jpg"), QStringLiteral("/p/10.jpg"),
                                      QStringLiteral("/p/第二页.jpg"), QStringLiteral("/p/第十页.jpg")}));
    EXPECT_EQ(List1()->currentIndex().row(), 2);
    EXPECT_EQ(List1()->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(pageLabel(), QStringLiteral("所在页码: 3"));
    EXPECT_EQ(filenameLabel(), QStringLiteral("/p/第二页.jpg"));

    // The list's pop-up offers the same, opened where the list is clicked with the right button.
    ModalAnswerer answerer;
    QStringList offered;
    answerer.then([&](QWidget *popup) {
        auto *menu = qobject_cast<QMenu *>(popup);
        if (menu == nullptr) {
            popup->close();
            return;
        }
        QAction *reverse = nullptr;
        for (QAction *item : menu->actions()) {
            offered << item->text();
            if (item->objectName() == QStringLiteral("menuReverse"))
                reverse = item;
        }
        menu->close();
        if (reverse != nullptr)
            reverse->trigger();
    });
    Q_EMIT List1()->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(QLatin1Char(';')).toStdString();
    EXPECT_EQ(offered,
              (QStringList{QStringLiteral("向左旋转"), QStringLiteral("向右旋转"), QString(),
                           QStringLiteral("按文件名排序"), QStringLiteral("按拍摄时间排序"), QStringLiteral("倒序")}));
    EXPECT_EQ(entries().first(), QStringLiteral("/p/第十页.jpg"));
    EXPECT_EQ(List1()->currentIndex().row(), 1);
    EXPECT_EQ(pageLabel(), QStringLiteral("所在页码: 2"));
}

TEST_F(ImageListWindow, RemoveTakesEverySelectedEntry)
{
    addEntries({QStringLiteral("/1"), QStringLiteral("/2"), QStringLiteral("/3"), QStringLiteral("/4")});
    select(0);
    List1()->selectionModel()->select(List1()->model()->index(2, 0), QItemSelectionModel::Select);
    engine().CmdToolsBar_Click(2);
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("/2"), QStringLiteral("/4")}));
}

class ListDrag : public ImageListWindow {
protected:
    // Drags the selected entries over the list to `at` (viewport coordinates) and drops them there,
    // as Qt delivers a drag that started in the list itself.
    Qt::DropAction dragSelectedTo(QPoint at, int *insertionShown = nullptr, QRect *lineShown = nullptr)
    {
        auto *view = qobject_cast<ImageListView *>(List1());
        const QModelIndexList selected = List1()->selectionModel()->selectedIndexes();
        std::unique_ptr<QMimeData> data(List1()->model()->mimeData(selected));
        QWidget *viewport = view->viewport();
        QDragEnterEvent enter(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport, &enter);
        QDragMoveEvent move(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport, &move);
        if (insertionShown != nullptr)
            *insertionShown = view->insertionRow();
        if (lineShown != nullptr)
            *lineShown = view->insertionLine();
        QDropEvent drop(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport, &drop);
        EXPECT_EQ(view->insertionRow(), -1) << "the line stays after the drop";
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    }
    QPoint upperHalfOf(int row)
    {
        return List1()->visualRect(List1()->model()->index(row, 0)).topLeft() + QPoint(5, 1);
    }
    QPoint lowerHalfOf(int row)
    {
        return List1()->visualRect(List1()->model()->index(row, 0)).bottomLeft() + QPoint(5, -1);
    }
    void SetUp() override
    {
        ImageListWindow::SetUp();
        finishLoading();
        addEntries(five_);
    }
    const QStringList five_ = {QStringLiteral("/1"), QStringLiteral("/2"), QStringLiteral("/3"), QStringLiteral("/4"),
                               QStringLiteral("/5")};
};

TEST_F(ListDrag, OneRowGoesWhereTheLineShowsAndItsPageFollows)
{
    select(3);
    int shown = -1;
    QRect line;
    EXPECT_EQ(dragSelectedTo(upperHalfOf(1), &shown, &line), Qt::MoveAction);
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(line.contains(QPoint(0, List1()->visualRect(List1()->model()->index(1, 0)).top())));
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("/1"), QStringLiteral("/4"), QStringLiteral("/2"),
                                      QStringLiteral("/3"), QStringLiteral("/5")}));
    EXPECT_EQ(List1()->currentIndex().row(), 1);
    EXPECT_EQ(pageLabel(), QStringLiteral("所在页码: 2"));
    EXPECT_EQ(filenameLabel(), QStringLiteral("/4"));

    // Below the last row: to the end.
    EXPECT_EQ(dragSelectedTo(lowerHalfOf(4) + QPoint(0, 40), &shown), Qt::MoveAction);
    EXPECT_EQ(shown, 5);
    EXPECT_EQ(entries().last(), QStringLiteral("/4"));
    EXPECT_EQ(pageLabel(), QStringLiteral("所在页码: 5"));
}

TEST_F(ListDrag, ABlockOfSelectedRowsMovesTogetherInItsOrder)
{
    select(0);
    List1()->selectionModel()->select(List1()->model()->index(3, 0), QItemSelectionModel::Select);
    int shown = -1;
    EXPECT_EQ(dragSelectedTo(lowerHalfOf(1), &shown), Qt::MoveAction);
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("/2"), QStringLiteral("/1"), QStringLiteral("/4"),
                                      QStringLiteral("/3"), QStringLiteral("/5")}));
    QList<int> selectedRows;
    for (const QModelIndex &index : List1()->selectionModel()->selectedRows())
        selectedRows << index.row();
    std::sort(selectedRows.begin(), selectedRows.end());
    EXPECT_EQ(selectedRows, (QList<int>{1, 2}));
    EXPECT_EQ(pageLabel(), QStringLiteral("所在页码: 2")); // the current entry, /1
}

TEST_F(ListDrag, EntriesOfTheListAreNeverAddedAgainByADropOutsideIt)
{
    select(0);
    std::unique_ptr<QMimeData> data(List1()->model()->mimeData(List1()->selectionModel()->selectedIndexes()));
    QWidget *hint = control(window(), "picText");
    QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(hint, &enter);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_EQ(entries(), five_);
}

} // namespace
} // namespace pagemint::test
