#include "EngineFixture.h"
#include "FileAccessAsNobody.h"
#include "ModalAnswerer.h"

#include "imagelist/ImageListRules.h"

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWindow>

namespace pagemint::test {
namespace {

class FolderCommand : public EngineFixture {};

TEST_F(FolderCommand, AddsThePicturesOfTheTreeWhileTheWindowWaits)
{
    for (const char *name : {"pics/A.JPG", "pics/b.Jpeg", "pics/c.txt", "pics/d.tif", "pics/sub/e.png"})
        env_.writeFile(QString::fromLatin1(name), "x");
    const QString folder = env_.root() + QStringLiteral("/pics");
    QStringList hintsSeen;
    bool listDisabledMeanwhile = false;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!List1()->isEnabled()) {
            listDisabledMeanwhile = true;
            hintsSeen << control<QLabel>(window(), "lblText")->text();
        }
    });
    watch.start();
    ModalAnswerer answerer;
    answerer.then([&](QWidget *dialog) { chooseFile(dialog, folder); });
    engine().CmdToolsBar_Click(1);
    watch.stop();
    EXPECT_EQ(entries(), (QStringList{folder + QStringLiteral("/A.JPG"), folder + QStringLiteral("/b.Jpeg"),
                                      folder + QStringLiteral("/d.tif"), folder + QStringLiteral("/sub/e.png")}));
    EXPECT_TRUE(listDisabledMeanwhile);
    EXPECT_TRUE(hintsSeen.contains(QStringLiteral("搜索文件...")));
    EXPECT_TRUE(List1()->isEnabled());
    EXPECT_TRUE(control<ImageZone>(window(), "imgConvert")->isEnabled());
    EXPECT_TRUE(control(window(), "picText")->isHidden());
    EXPECT_EQ(control<QLabel>(window(), "lblText")->text(), hintText());
}

// Root lists any folder: the command runs with nobody's file access, which the folder's mode refuses.
TEST_F(FolderCommand, AFolderThatCannotBeReadIsNamedAfterTheSearch)
{
    for (const char *name : {"pics/a.jpg", "pics/locked/b.jpg"})
        env_.writeFile(QString::fromLatin1(name), "x");
    const QString folder = env_.root() + QStringLiteral("/pics");
    const QFile::Permissions open =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    for (const QString &path : {env_.root(), folder})
        ASSERT_TRUE(QFile::setPermissions(path, open));
    ASSERT_TRUE(QFile::setPermissions(folder + QStringLiteral("/locked"), QFile::ReadOwner | QFile::ExeOwner));
    MessageRecord shown;
    {
        ModalAnswerer answerer;
        answerer.then([&](QWidget *dialog) { chooseFile(dialog, folder); });
        answerer.thenMessage(QMessageBox::Ok, &shown);
        FileAccessAsNobody nobody;
        engine().CmdToolsBar_Click(1);
        EXPECT_EQ(answerer.pending(), 0u);
    }
    QFile::setPermissions(folder + QStringLiteral("/locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(entries(), QStringList{folder + QStringLiteral("/a.jpg")});
    EXPECT_TRUE(shown.text.contains(folder + QStringLiteral("/locked"))) << shown.text.toStdString();
    EXPECT_EQ(shown.caption, QStringLiteral("添加目录"));
    EXPECT_EQ(shown.icon, QMessageBox::Warning);
    EXPECT_TRUE(List1()->isEnabled());
}

TEST_F(FolderCommand, CancellingLeavesTheListAndGivesTheWindowBack)
{
    ModalAnswerer answerer;
    answerer.then(cancelDialog);
    engine().CmdToolsBar_Click(1);
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_FALSE(control(window(), "picText")->isHidden());
    EXPECT_EQ(control<QLabel>(window(), "lblText")->text(), hintText());
    EXPECT_TRUE(List1()->isEnabled());
    EXPECT_TRUE(control<ImageZone>(window(), "imgToolbar0")->isEnabled());
}

class Drops : public EngineFixture {
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        finishLoading();
    }
    // Drags `urls` over the window at `at` and drops them, as the desktop does.
    Qt::DropAction drop(const QList<QUrl> &urls, QPoint at)
    {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window().windowHandle(), &enter);
        QDropEvent dropped(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window().windowHandle(), &dropped);
        return dropped.isAccepted() ? dropped.dropAction() : Qt::IgnoreAction;
    }
    QUrl file(const QString &name) { return QUrl::fromLocalFile(env_.writeFile(name, "x")); }
    QPoint listPoint() { return List1()->geometry().topLeft() + QPoint(20, 20); }
};

TEST_F(Drops, OnTheDoorHideItAndAddPicturesInOrder)
{
    ASSERT_FALSE(control(window(), "picDoor")->isHidden());
    const QList<QUrl> urls = {file(QStringLiteral("a.jpg")), file(QStringLiteral("b.PNG")),
                              file(QStringLiteral("c.doc"))};
    EXPECT_EQ(drop(urls, listPoint()), Qt::CopyAction);
    EXPECT_TRUE(control(window(), "picDoor")->isHidden());
    EXPECT_EQ(entries(), (QStringList{urls[0].toLocalFile(), urls[1].toLocalFile()}));
    EXPECT_TRUE(control(window(), "picText")->isHidden());
    // Nothing gets selected by a drop.
    EXPECT_EQ(List1()->currentIndex().row(), -1);
}

TEST_F(Drops, FoldersAreSearchedAsAddFolderSearchesInTheOrderDroppedAndRemoteFilesAreIgnored)
{
    control(window(), "picDoor")->hide();
    const QUrl first = file(QStringLiteral("first.jpg"));
    for (const char *name : {"folder/10.jpg", "folder/2.JPG", "folder/notes.txt", "folder/sub/x.png"})
        env_.writeFile(QString::fromLatin1(name), "x");
    QDir().mkpath(env_.root() + QStringLiteral("/album.jpg"));
    const QUrl last = file(QStringLiteral("last.webp"));
    const QString folder = env_.root() + QStringLiteral("/folder");
    const QList<QUrl> urls = {first, QUrl::fromLocalFile(folder),
                              QUrl(QStringLiteral("https://example.org/remote.jpg")),
                              QUrl::fromLocalFile(env_.root() + QStringLiteral("/album.jpg")), last};
    EXPECT_EQ(drop(urls, listPoint()), Qt::CopyAction);
    // The search runs once the drop has been answered.
    EXPECT_TRUE(entries().isEmpty());
    QCoreApplication::sendPostedEvents(&window(), QEvent::MetaCall);
    EXPECT_EQ(entries(),
              (QStringList{first.toLocalFile(), folder + QStringLiteral("/2.JPG"), folder + QStringLiteral("/10.jpg"),
                           folder + QStringLiteral("/sub/x.png"), last.toLocalFile()}));
    EXPECT_TRUE(List1()->isEnabled());
    EXPECT_EQ(control<QLabel>(window(), "lblText")->text(), hintText());
}

TEST_F(Drops, NothingIsTakenWhileAFolderIsSearched)
{
    window().showSearching(true);
    EXPECT_EQ(drop({file(QStringLiteral("a.jpg"))}, control(window(), "picText")->geometry().center()),
              Qt::IgnoreAction);
    window().showSearching(false);
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(Drops, OnlyDocumentsOnTheDoorLeaveAnEmptyListWithTheHint)
{
    drop({file(QStringLiteral("notes.doc"))}, listPoint());
    EXPECT_TRUE(control(window(), "picDoor")->isHidden());
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_FALSE(control(window(), "picText")->isHidden());
}

TEST_F(Drops, OnTheHintBoxHideItAndTheSamePictureTwiceCountsTwice)
{
    control(window(), "picDoor")->hide();
    const QUrl picture = file(QStringLiteral("a.gif"));
    drop({picture}, control(window(), "picText")->geometry().center());
    EXPECT_TRUE(control(window(), "picText")->isHidden());
    drop({picture}, listPoint());
    EXPECT_EQ(entries(), (QStringList{picture.toLocalFile(), picture.toLocalFile()}));
}

} // namespace
} // namespace pagemint::test
