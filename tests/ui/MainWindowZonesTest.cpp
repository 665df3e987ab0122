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
#include <QListView>
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
        named("picDoor")->hide();
    }
    QWindow *handle() { return window().windowHandle(); }
    QWidget *named(const QString &name) { return control(window(), name); }
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
        {named("imgMenu0"), {14, 31, 45, 17}},       {named("imgMenu2"), {126, 31, 47, 17}},
        {named("imgToolbar0"), {5, 53, 69, 72}},     {named("imgToolbar5"), {355, 53, 59, 71}},
        {named("imgConvert"), {413, 256, 123, 63}},  {named("imgUp"), {410, 159, 55, 65}},
        {named("imgDown"), {473, 159, 55, 65}},      {named("lblUp"), {414, 226, 48, 14}},
        {named("imgExit"), {528, 6, 15, 17}},        {List1(), {10, 138, 391, 184}},
        {named("picText"), {118, 212, 149, 19}},     {named("lblPage"), {412, 140, 123, 15}},
        {named("lblFilename"), {228, 339, 313, 17}}, {named("PicPB"), {10, 336, 391, 23}},
        {named("picDoor"), {6, 136, 537, 189}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.control->geometry(), c.pixels) << c.control->objectName().toStdString();
    // Fonts keep their designed pixel size: 9 pt at 96 dpi.
    EXPECT_EQ(QFontInfo(List1()->font()).pixelSize(), 12);
    EXPECT_EQ(QFontInfo(named("lblUp")->font()).pixelSize(), 12);
}

TEST_F(MainWindowZones, HoverLightsExactlyOneZone)
{
    struct Case {
        QWidget *pointerOver;
        QString lit;
    };
    const Case cases[] = {
        {named("imgToolbar0"), QStringLiteral("imgToolbar0")},
        {named("imgToolbar1"), QStringLiteral("imgToolbar1")},
        {named("imgMenu3"), QStringLiteral("imgMenu3")},
        {named("imgConvert"), QStringLiteral("imgConvert")},
        {named("lblUp"), QStringLiteral("imgUp")},
        {named("imgDown"), QStringLiteral("imgDown")},
        {named("lblDown"), QStringLiteral("imgDown")},
        {named("imgUp"), QStringLiteral("imgUp")},
    };
    for (const Case &c : cases) {
        moveOver(c.pointerOver);
        EXPECT_EQ(lit(), std::vector<QString>{c.lit}) << c.pointerOver->objectName().toStdString();
    }
    const auto *up = control<ImageZone>(window(), "imgUp");
    EXPECT_EQ(up->pixmap().size(), QSize(55, 64));
}

TEST_F(MainWindowZones, TheListKeepsALitZoneAndTheBackgroundClearsIt)
{
    moveOver(named("imgToolbar2"));
    QTest::mouseMove(handle(), List1()->geometry().center());
    EXPECT_EQ(lit(), std::vector<QString>{QStringLiteral("imgToolbar2")});
    QTest::mouseMove(handle(), named("lblPage")->geometry().center());
    EXPECT_EQ(lit().size(), 1u);
    QTest::mouseMove(handle(), background);
    EXPECT_TRUE(lit().empty());
}

TEST_F(MainWindowZones, APressShowsThePressedPictureUntilTheNextMove)
{
    QTest::mousePress(handle(), Qt::LeftButton, {}, named("imgToolbar4")->geometry().center());
    EXPECT_EQ(lit(), std::vector<QString>{QStringLiteral("imgToolbar4")});
    EXPECT_EQ(control<ImageZone>(window(), "imgToolbar4")->pixmap().toImage(),
              QPixmap(QStringLiteral(":/skin/toolbar_pressed_4.jpg")).toImage());
    EXPECT_TRUE(named("picDoor")->isHidden());
    EXPECT_EQ(opened_, QStringList{QStringLiteral("open ") + helpPagePath()});
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, named("imgToolbar4")->geometry().center());
    QTest::mouseMove(handle(), background);
    EXPECT_TRUE(lit().empty());
}

TEST_F(MainWindowZones, TheWebZoneNamesTheHelpPageWhereNoProgramOpensIt)
{
    shellOpens_ = false;
    MessageRecord shown;
    ModalAnswerer answerer;
    answerer.thenMessage(QMessageBox::Ok, &shown);
    QTest::mousePress(handle(), Qt::LeftButton, {}, named("imgToolbar4")->geometry().center());
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, named("imgToolbar4")->geometry().center());
    EXPECT_EQ(answerer.pending(), 0u);
    EXPECT_EQ(opened_, QStringList{QStringLiteral("open ") + helpPagePath()});
    EXPECT_TRUE(shown.text.contains(helpPagePath())) << shown.text.toStdString();
    EXPECT_EQ(shown.icon, QMessageBox::Information);
}

TEST_F(MainWindowZones, TheLeftButtonDragsTheWindowByItsBackground)
{
    const QPoint start = window().pos();
    QTest::mousePress(handle(), Qt::RightButton, {}, background);
    QTest::mouseMove(handle(), background + QPoint(30, 10));
    QTest::mouseRelease(handle(), Qt::RightButton, {}, background + QPoint(30, 10));
    EXPECT_EQ(window().pos(), start);

    QTest::mousePress(handle(), Qt::LeftButton, {}, background);
    EXPECT_TRUE(window().isDragging());
    QTest::mouseMove(handle(), background + QPoint(30, 10));
    EXPECT_EQ(window().pos(), start + QPoint(30, 10));
    // The grab point stays under the pointer: the release lands where the press was.
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, background);
    EXPECT_FALSE(window().isDragging());
    EXPECT_EQ(window().pos(), start + QPoint(30, 10));
}

TEST_F(MainWindowZones, NoControlDragsTheWindowOnlyTheBareBackground)
{
    const QPoint start = window().pos();
    named("lblPB")->show();
    named("picDoor")->show();
    auto pressDragRelease = [&](QWidget *control) {
        const QPoint at = control->mapTo(&window(), control->rect().center());
        ASSERT_EQ(window().childAt(at), control) << control->objectName().toStdString();
        QTest::mousePress(handle(), Qt::LeftButton, {}, at);
        EXPECT_FALSE(window().isDragging()) << control->objectName().toStdString();
        QTest::mouseMove(handle(), at + QPoint(30, 10));
        QTest::mouseRelease(handle(), Qt::LeftButton, {}, at + QPoint(30, 10));
        EXPECT_EQ(window().pos(), start) << control->objectName().toStdString();
    };
    // The door lies over the list area until the first toolbar press.
    pressDragRelease(named("picDoor"));
    named("picDoor")->hide();
    for (const char *name : {"lblPage", "lblFilename", "lblPB", "picText"})
        pressDragRelease(named(QString::fromLatin1(name)));
}

TEST_F(MainWindowZones, MenuItemsReactToTheLeftButtonOnly)
{
    addEntries({QStringLiteral("/1"), QStringLiteral("/2")});
    selectRow(1);
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
    selectRow(1);
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
        const QWidget *zone = named(QStringLiteral("imgMenu%1").arg(i));
        QTest::mousePress(handle(), Qt::LeftButton, {}, zone->geometry().center());
        EXPECT_EQ(name, QString::fromLatin1(menus[i]));
        // 300 twips below the zone's top: 20 pixels at 96 dpi.
        const int below = qRound(300.0 * window().logicalDpiY() / 1440);
        EXPECT_EQ(at, window().mapToGlobal(zone->geometry().topLeft() + QPoint(0, below)));
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
    EXPECT_EQ(txtMsg()->text(), QStringLiteral("Text1"));
    addEntries({QStringLiteral("/1")});
    ModalAnswerer answerer;
    for (const QString &word : {QStringLiteral("add"), QStringLiteral("ADD"), QStringLiteral("Add "),
                                QStringLiteral("Text1"), QStringLiteral("convert")}) {
        txtMsg()->setText(word);
        EXPECT_EQ(txtMsg()->text(), QString()) << word.toStdString();
    }
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(QLatin1Char(';')).toStdString();
    EXPECT_EQ(entries().size(), 1);
}

TEST_F(MainWindowZones, TheRemoveWordOpensTheRemoveMenu)
{
    addEntries({QStringLiteral("/1"), QStringLiteral("/2")});
    ModalAnswerer answerer;
    answerer.then([](QWidget *popup) { popup->close(); });
    txtMsg()->setText(QStringLiteral("Remove"));
    EXPECT_EQ(entries().size(), 2);
    answerer.then([](QWidget *popup) {
        for (QAction *action : qobject_cast<QMenu *>(popup)->actions())
            if (action->text() == QStringLiteral("清空列表"))
                action->trigger();
        popup->close();
    });
    QTest::mousePress(handle(), Qt::LeftButton, {}, named("imgToolbar1")->geometry().center());
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_TRUE(answerer.failures().isEmpty());
    EXPECT_EQ(txtMsg()->text(), QString());
}

TEST_F(MainWindowZones, TheSettingsZoneShowsTheSettingsWindowModally)
{
    bool wasModal = false;
    ModalAnswerer answerer;
    answerer.then([&](QWidget *dialog) {
        wasModal = dialog == &engine() && dialog->isModal();
        dialog->close();
    });
    QTest::mousePress(handle(), Qt::LeftButton, {}, named("imgToolbar3")->geometry().center());
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
    QTest::mousePress(handle(), Qt::LeftButton, {}, named("imgConvert")->geometry().center());
    EXPECT_EQ(shown.text, QStringLiteral("请添加一个文件"));
    EXPECT_EQ(shown.caption, QStringLiteral("添加"));
    EXPECT_EQ(shown.icon, QMessageBox::Warning);
    EXPECT_TRUE(List1()->isEnabled());
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
    selectRow(1);
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
