// The list commands as the window carries them out: the dialog, the hint, the labels, the selection.
#include "EngineFixture.h"
#include "ModalAnswerer.h"

#include "imagelist/ImageListRules.h"

#include <QFrame>
#include <QLabel>
#include <QListView>

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

} // namespace
} // namespace pagemint::test
