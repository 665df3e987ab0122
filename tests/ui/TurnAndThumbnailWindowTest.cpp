// Turning entries from the 排序 menu and the list's pop-up menu, and the thumbnail beside the list.
#include "EngineFixture.h"
#include "ModalAnswerer.h"

#include "imagelist/ImageList.h"
#include "ui/frmMain.h"

#include <QContextMenuEvent>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPainter>

#include <QSignalSpy>
#include <algorithm>

namespace pagemint::test {
namespace {

class TurnAndThumbnailWindow : public EngineFixture {
protected:
    void trigger(QMenu *menu, const char *name)
    {
        // The list's pop-up shares the control menu's actions: they are the menu's, not its children.
        const QList<QAction *> actions = menu->actions();
        const auto found = std::find_if(actions.begin(), actions.end(),
                                        [name](QAction *a) { return a->objectName() == QLatin1String(name); });
        ASSERT_NE(found, actions.end()) << name;
        (*found)->trigger();
    }
};

TEST_F(TurnAndThumbnailWindow, TheMenusTurnTheSelectedEntryAndItsSuffixFollows)
{
    addEntries({QStringLiteral("/1.jpg"), QStringLiteral("/2.jpg")});
    selectRow(1);
    QMenu *control = engine().menuOfZone(2);
    const struct {
        QMenu *menu;
        const char *item;
        QString shown;
    } steps[] = {
        {control, "menuTurnRight", QStringLiteral("/2.jpg  ↻90°")},
        {control, "menuTurnRight", QStringLiteral("/2.jpg  ↻180°")},
        {engine().listMenu(), "menuTurnRight", QStringLiteral("/2.jpg  ↻270°")},
        {engine().listMenu(), "menuTurnRight", QStringLiteral("/2.jpg")},
        {control, "menuTurnLeft", QStringLiteral("/2.jpg  ↻270°")},
        {engine().listMenu(), "menuTurnLeft", QStringLiteral("/2.jpg  ↻180°")},
    };
    for (const auto &step : steps) {
        trigger(step.menu, step.item);
        EXPECT_EQ(entries(), (QStringList{QStringLiteral("/1.jpg"), step.shown})) << step.item;
    }
    // The job takes the paths and the turns apart.
    EXPECT_EQ(window().imageList().entries(), (QStringList{QStringLiteral("/1.jpg"), QStringLiteral("/2.jpg")}));
    EXPECT_EQ(window().imageList().turns(), (QList<int>{0, 180}));
}

TEST_F(TurnAndThumbnailWindow, TheRightButtonOpensThePopUpMenuOverTheList)
{
    addEntries({QStringLiteral("/1.jpg")});
    selectRow(0);
    ModalAnswerer answerer;
    answerer.then([](QWidget *popup) {
        auto *menu = qobject_cast<QMenu *>(popup);
        if (menu != nullptr && menu->objectName() == QStringLiteral("menuList"))
            for (QAction *action : menu->actions())
                if (action->objectName() == QStringLiteral("menuTurnLeft"))
                    action->trigger();
        popup->close();
    });
    const QPoint at = List1()->visualRect(List1()->model()->index(0, 0)).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, List1()->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(List1()->viewport(), &event);
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(QLatin1Char(';')).toStdString();
    EXPECT_EQ(entries(), QStringList{QStringLiteral("/1.jpg  ↻270°")});
}

TEST_F(TurnAndThumbnailWindow, AThumbnailShowsTurnedByItsEntry)
{
    // Red on the left, blue on the right; turned a quarter clockwise, red is on top.
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QPainter(&picture).fillRect(0, 0, 32, 48, Qt::red);
    const QString path = env_.root() + QStringLiteral("/halves.png");
    ASSERT_TRUE(picture.save(path, "PNG"));
    addEntries({path, QStringLiteral("/elsewhere.png")});
    selectRow(0);
    trigger(engine().menuOfZone(2), "menuTurnRight");

    // Selecting the entry asks the engine for it; the sandboxed decoder makes it.
    QSignalSpy shown(&window(), &frmMain::thumbnailShown);
    selectRow(1);
    selectRow(0);
    ASSERT_TRUE(shown.count() > 0 || shown.wait(60'000));
    EXPECT_EQ(shown.constLast().at(0).toString(), path);
    QLabel *label = window().thumbnailLabel();
    ASSERT_TRUE(label->isVisible());
    const QImage showing = label->pixmap().toImage();
    EXPECT_EQ(showing.size(), QSize(48, 64));
    EXPECT_GT(showing.pixelColor(24, 8).red(), 200) << showing.pixelColor(24, 8).name().toStdString();
    EXPECT_GT(showing.pixelColor(24, 56).blue(), 200) << showing.pixelColor(24, 56).name().toStdString();

    // An answer for a picture the pointer has left is not shown; leaving the list hides it.
    window().showThumbnail(QStringLiteral("/elsewhere.png"), picture);
    EXPECT_EQ(label->pixmap().toImage().size(), QSize(48, 64));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(List1()->viewport(), &leave);
    EXPECT_FALSE(label->isVisible());
}

} // namespace
} // namespace pagemint::test
