#include "EngineFixture.h"
#include "ModalAnswerer.h"
#include "ScaledChild.h"

#include "ui/HelpPage.h"

#include <QAction>
#include <QDir>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTest>

namespace pagemint::test {
namespace {

class MainWindowZones : public EngineFixture {
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        finishLoading();
        expectRequestedScaling(window());
        // The door covers the list area and the zones beside it until the first toolbar press.
        window().picDoor->hide();
    }
    QWindow *handle() { return window().windowHandle(); }
    void moveOver(QWidget *control) { QTest::mouseMove(handle(), control->geometry().center()); }
    std::vector<QString> lit()
    {
        std::vector<QString> names;
        for (ImageZone *zone : window().findChildren<ImageZone *>())
            if (zone->hasPicture())
                names.push_back(zone->objectName());
        return names;
    }
    const QPoint background{300, 20};
};

// Every test of this suite again at the desktop set-ups of the table.
class MainWindowAtScaling : public ::testing::TestWithParam<DisplayScaling> {};

TEST_P(MainWindowAtScaling, EveryMainWindowTestPasses)
{
    expectTestsPassAt(GetParam(), QStringLiteral("MainWindowZones.*"));
}

INSTANTIATE_TEST_SUITE_P(Desktops, MainWindowAtScaling, ::testing::ValuesIn(windowScalings), scalingName);

TEST_F(MainWindowZones, KeepsItsDesignedPixelsSoTheZonesLieOverTheirPaintedButtons)
{
    EXPECT_EQ(window().size(), QSize(548, 366));
    struct Case {
        QWidget *control;
        QRect pixels;
    };
    const Case cases[] = {
        {window().imgMenu[0], {14, 31, 45, 17}},    {window().imgMenu[2], {126, 31, 47, 17}},
        {window().imgToolbar[0], {5, 53, 69, 72}},  {window().imgToolbar[5], {355, 53, 59, 71}},
        {window().imgConvert, {413, 256, 123, 63}}, {window().imgUp, {410, 159, 55, 65}},
        {window().imgDown, {473, 159, 55, 65}},     {window().lblUp, {414, 226, 48, 14}},
        {window().imgExit, {528, 6, 15, 17}},       {window().List1, {10, 138, 391, 184}},
        {window().picText, {118, 212, 149, 19}},    {window().lblPage, {412, 140, 123, 15}},
        {window().lblFilename, {228, 339, 313, 17}}, {window().PicPB, {10, 336, 391, 23}},
        {window().picDoor, {6, 136, 537, 189}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.control->geometry(), c.pixels) << c.control->objectName().toStdString();
    // Fonts keep their designed pixel size: 9 pt at 96 dpi.
    EXPECT_EQ(QFontInfo(window().List1->font()).pixelSize(), 12);
    EXPECT_EQ(QFontInfo(window().lblUp->font()).pixelSize(), 12);
}

TEST_F(MainWindowZones, HoverLightsExactlyOneZone)
{
    struct Case {
        QWidget *pointerOver;
        QString lit;
    };
    const Case cases[] = {
        {window().imgToolbar[0], QStringLiteral("imgToolbar0")}, {window().imgToolbar[1], QStringLiteral("imgToolbar1")},
        {window().imgMenu[3], QStringLiteral("imgMenu3")},       {window().imgConvert, QStringLiteral("imgConvert")},
        {window().lblUp, QStringLiteral("imgUp")},               {window().imgDown, QStringLiteral("imgDown")},
        {window().lblDown, QStringLiteral("imgDown")},           {window().imgUp, QStringLiteral("imgUp")},
    };
    for (const Case &c : cases) {
        moveOver(c.pointerOver);
        EXPECT_EQ(lit(), std::vector<QString>{c.lit}) << c.pointerOver->objectName().toStdString();
    }
    const ImageZone *up = window().imgUp;
    EXPECT_EQ(up->pixmap().size(), QSize(55, 64));
}

TEST_F(MainWindowZones, TheListKeepsALitZoneAndTheBackgroundClearsIt)
{
    moveOver(window().imgToolbar[2]);
    QTest::mouseMove(handle(), window().List1->geometry().center());
    EXPECT_EQ(lit(), std::vector<QString>{QStringLiteral("imgToolbar2")});
    QTest::mouseMove(handle(), window().lblPage->geometry().center());
    EXPECT_EQ(lit().size(), 1u);
    QTest::mouseMove(handle(), background);
    EXPECT_TRUE(lit().empty());
}

TEST_F(MainWindowZones, APressShowsThePressedPictureUntilTheNextMove)
{
    QTest::mousePress(handle(), Qt::LeftButton, {}, window().imgToolbar[4]->geometry().center());
    EXPECT_EQ(lit(), std::vector<QString>{QStringLiteral("imgToolbar4")});
    EXPECT_EQ(window().imgToolbar[4]->pixmap().toImage(), window().imgToolbarClick[4].toImage());
    EXPECT_TRUE(window().picDoor->isHidden());
    EXPECT_EQ(opened_, QStringList{QStringLiteral("open ") + helpPagePath()});
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, window().imgToolbar[4]->geometry().center());
    QTest::mouseMove(handle(), background);
    EXPECT_TRUE(lit().empty());
}

TEST_F(MainWindowZones, TheLeftButtonDragsTheWindowByItsBackground)
{
    const QPoint start = window().pos();
    QTest::mousePress(handle(), Qt::RightButton, {}, background);
    QTest::mouseMove(handle(), background + QPoint(30, 10));
    QTest::mouseRelease(handle(), Qt::RightButton, {}, background + QPoint(30, 10));
    EXPECT_EQ(window().pos(), start);

    QTest::mousePress(handle(), Qt::LeftButton, {}, background);
    EXPECT_TRUE(window().dragActive);
    QTest::mouseMove(handle(), background + QPoint(30, 10));
    EXPECT_EQ(window().pos(), start + QPoint(30, 10));
    // The grab point stays under the pointer: the release lands where the press was.
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, background);
    EXPECT_FALSE(window().dragActive);
    EXPECT_EQ(window().pos(), start + QPoint(30, 10));
}

TEST_F(MainWindowZones, NoControlDragsTheWindowOnlyTheBareBackground)
{
    const QPoint start = window().pos();
    window().lblPB->show();
    window().picDoor->show();
    auto pressDragRelease = [&](QWidget *control) {
        const QPoint at = control->mapTo(&window(), control->rect().center());
        ASSERT_EQ(window().childAt(at), control) << control->objectName().toStdString();
        QTest::mousePress(handle(), Qt::LeftButton, {}, at);
        EXPECT_FALSE(window().dragActive) << control->objectName().toStdString();
        QTest::mouseMove(handle(), at + QPoint(30, 10));
        QTest::mouseRelease(handle(), Qt::LeftButton, {}, at + QPoint(30, 10));
        EXPECT_EQ(window().pos(), start) << control->objectName().toStdString();
    };
    // The door lies over the list area until the first toolbar press.
    pressDragRelease(window().picDoor);
    window().picDoor->hide();
    for (QWidget *control : {static_cast<QWidget *>(window().lblPage), static_cast<QWidget *>(window().lblFilename),
                             static_cast<QWidget *>(window().lblPB), static_cast<QWidget *>(window().picText)})
        pressDragRelease(control);
}

TEST_F(MainWindowZones, MenuItemsReactToTheLeftButtonOnly)
{
    addEntries({QStringLiteral("/1"), QStringLiteral("/2")});
    window().List1->setCurrentRow(1);
    QStringList afterRightClick;
    bool openAfterRightClick = false;
    ModalAnswerer answerer;
    answerer.then([&](QWidget *popup) {
        auto *menu = qobject_cast<QMenu *>(popup);
        QAction *up = menu->actions().constFirst();
        const QPoint at = menu->actionGeometry(up).center();
        for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton})
            QTest::mouseClick(menu, button, {}, at);
        afterRightClick = entries();
        openAfterRightClick = menu->isVisible();
        QTest::mouseClick(menu, Qt::LeftButton, {}, at);
        if (menu->isVisible())
            menu->close();
    });
    window().imgMenu_MouseDown(2);
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(QLatin1Char(';')).toStdString();
    EXPECT_EQ(afterRightClick, (QStringList{QStringLiteral("/1"), QStringLiteral("/2")}));
    EXPECT_TRUE(openAfterRightClick);
    // "上移一行" chosen with the left button.
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("/2"), QStringLiteral("/1")}));
}

TEST_F(MainWindowZones, MenusOpenUnderTheirZoneAndRunTheirCommand)
{
    addEntries({QStringLiteral("/1"), QStringLiteral("/2")});
    window().List1->setCurrentRow(1);
    const char *menus[] = {"menuFile", "menuR", "menuContrl", "menuA"};
    for (int i = 0; i < 4; ++i) {
        QPoint at;
        QString name;
        ModalAnswerer answerer;
        answerer.then([&](QWidget *popup) {
            at = popup->pos();
            name = popup->objectName();
            popup->close();
        });
        QTest::mousePress(handle(), Qt::LeftButton, {}, window().imgMenu[i]->geometry().center());
        EXPECT_EQ(name, QString::fromLatin1(menus[i]));
        // 300 twips below the zone's top: 20 pixels at 96 dpi.
        const int below = qRound(300.0 * window().logicalDpiY() / 1440);
        EXPECT_EQ(at, window().mapToGlobal(window().imgMenu[i]->geometry().topLeft() + QPoint(0, below)));
        EXPECT_TRUE(answerer.failures().isEmpty());
    }
    // Choosing "上移一行" in the control menu moves the selected entry.
    ModalAnswerer answerer;
    answerer.then([](QWidget *popup) {
        auto *menu = qobject_cast<QMenu *>(popup);
        for (QAction *action : menu->actions())
            if (action->text() == QStringLiteral("上移一行"))
                action->trigger();
        menu->close();
    });
    window().imgMenu_MouseDown(2);
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("/2"), QStringLiteral("/1")}));
}

TEST_F(MainWindowZones, CommandWordsMatchExactlyAndTheBoxEmpties)
{
    EXPECT_EQ(engine().txtMsg->text(), QStringLiteral("Text1"));
    addEntries({QStringLiteral("/1")});
    ModalAnswerer answerer;
    for (const QString &word : {QStringLiteral("add"), QStringLiteral("ADD"), QStringLiteral("Add "),
                               QStringLiteral("Text1"), QStringLiteral("convert")}) {
        engine().txtMsg->setText(word);
        EXPECT_EQ(engine().txtMsg->text(), QString()) << word.toStdString();
    }
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(QLatin1Char(';')).toStdString();
    EXPECT_EQ(entries().size(), 1);
}

TEST_F(MainWindowZones, TheRemoveWordOpensTheRemoveMenu)
{
    addEntries({QStringLiteral("/1"), QStringLiteral("/2")});
    ModalAnswerer answerer;
    answerer.then([](QWidget *popup) { popup->close(); });
    engine().txtMsg->setText(QStringLiteral("Remove"));
    EXPECT_EQ(entries().size(), 2);
    answerer.then([](QWidget *popup) {
        for (QAction *action : qobject_cast<QMenu *>(popup)->actions())
            if (action->text() == QStringLiteral("清空列表"))
                action->trigger();
        popup->close();
    });
    QTest::mousePress(handle(), Qt::LeftButton, {}, window().imgToolbar[1]->geometry().center());
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_TRUE(answerer.failures().isEmpty());
    EXPECT_EQ(engine().txtMsg->text(), QString());
}

TEST_F(MainWindowZones, TheSettingsZoneShowsTheSettingsWindowModally)
{
    bool wasModal = false;
    ModalAnswerer answerer;
    answerer.then([&](QWidget *dialog) {
        wasModal = dialog == &engine() && dialog->isModal();
        dialog->close();
    });
    QTest::mousePress(handle(), Qt::LeftButton, {}, window().imgToolbar[3]->geometry().center());
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(engine().isVisible());
    EXPECT_TRUE(lit().empty());
    EXPECT_TRUE(window().isVisible());
}

TEST_F(MainWindowZones, ConvertWithAnEmptyListAsksForAFile)
{
    MessageRecord shown;
    ModalAnswerer answerer;
    answerer.thenMessage(QMessageBox::Ok, &shown);
    QTest::mousePress(handle(), Qt::LeftButton, {}, window().imgConvert->geometry().center());
    EXPECT_EQ(shown.text, QStringLiteral("请添加一个文件"));
    EXPECT_EQ(shown.caption, QStringLiteral("添加"));
    EXPECT_EQ(shown.icon, QMessageBox::Warning);
    EXPECT_TRUE(window().List1->isEnabled());
}

} // namespace
} // namespace pagemint::test

namespace pagemint::test {
namespace {

// Renders the window with a few pictures listed and keeps the picture beside the build.
TEST_F(MainWindowZones, RendersTheSkinAndSavesAScreenshot)
{
    addEntries({QStringLiteral("/home/ann/Pictures/holiday/IMG_0001.jpg"),
                QStringLiteral("/home/ann/Pictures/holiday/IMG_0002.jpg"),
                QStringLiteral("/home/ann/Pictures/scans/receipt.png")});
    window().List1->setCurrentRow(1);
    const QImage shot = window().grab().toImage();
    ASSERT_EQ(shot.deviceIndependentSize(), QSizeF(548, 366));
    const QImage skin(QStringLiteral(":/skin/background.png"));
    EXPECT_EQ(shot.pixel(QPoint(300, 20) * shot.devicePixelRatio()), skin.pixel(300, 20));
    // README's picture is the one at 96 dpi.
    if (inScaledChild())
        return;
    QDir().mkpath(QStringLiteral(PAGEMINT_APP_DIR "/../screenshots"));
    EXPECT_TRUE(shot.save(QStringLiteral(PAGEMINT_APP_DIR "/../screenshots/main-window.png")));
}

} // namespace
} // namespace pagemint::test
