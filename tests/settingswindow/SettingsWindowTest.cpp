// The conversion-settings window as the user meets it: its controls, their order, the mode and
// page layout lists, hiding on close, and the About and web commands of its menus.
#include "EngineFixture.h"
#include "ModalAnswerer.h"
#include "ScaledChild.h"

#include "app/ConversionMode.h"
#include "common/ExitRequest.h"
#include "settings/PageLayoutFile.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <algorithm>
#include <functional>

namespace pagemint::test {
namespace {

class SettingsWindow : public EngineFixture {
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        finishLoading();
        expectRequestedScaling(engine());
    }
    void showSettings()
    {
        engine().show();
        engine().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&engine()));
    }
    std::vector<QString> visibleControls()
    {
        std::vector<QString> names;
        for (QWidget *child : engine().findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (child->isVisibleTo(&engine()))
                names.push_back(child->objectName());
        return names;
    }
    // Runs the window as the settings zone does (modal), calling `inside` while it is up.
    void runModally(const std::function<void()> &inside)
    {
        ModalAnswerer answerer;
        answerer.then([&](QWidget *dialog) {
            inside();
            dialog->close();
        });
        engine().exec();
        EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(QLatin1Char(';')).toStdString();
    }
};

// Every test of this suite again at the desktop set-ups of the table.
class SettingsWindowAtScaling : public ::testing::TestWithParam<DisplayScaling> {};

TEST_P(SettingsWindowAtScaling, EverySettingsWindowTestPasses)
{
    expectTestsPassAt(GetParam(), QStringLiteral("SettingsWindow.*"));
}

INSTANTIATE_TEST_SUITE_P(Desktops, SettingsWindowAtScaling, ::testing::ValuesIn(windowScalings), scalingName);

// The window keeps its 3795 x 4260 twips, but never less than its 253 x 284 designed pixels.
QSize settingsWindowSizeAt(int logicalDpi)
{
    const std::pair<int, QSize> sizes[] = {{72, {253, 284}}, {96, {253, 284}}, {120, {316, 355}}, {144, {380, 426}}};
    for (const auto &[dpi, size] : sizes)
        if (dpi == logicalDpi)
            return size;
    ADD_FAILURE() << "no window size known for " << logicalDpi << " dpi";
    return {};
}

TEST_F(SettingsWindow, ShowsExactlyItsControlsWithTheirTextsInsideAFixedWindow)
{
    showSettings();
    EXPECT_EQ(engine().windowTitle(), QStringLiteral("转换设置"));
    const QSize size = settingsWindowSizeAt(engine().logicalDpiX());
    EXPECT_EQ(engine().size(), size);
    EXPECT_EQ(engine().minimumSize(), size);
    EXPECT_EQ(engine().maximumSize(), size);
    EXPECT_TRUE(engine().findChildren<QMenuBar *>().isEmpty());

    std::vector<QString> shown = visibleControls();
    std::sort(shown.begin(), shown.end());
    const std::vector<QString> expected = {
        QStringLiteral("Label1"),         QStringLiteral("Label3"),   QStringLiteral("chkUpright"),
        QStringLiteral("cmbFit"),         QStringLiteral("cmbMode"),  QStringLiteral("cmbOrientation"),
        QStringLiteral("cmbPaper"),       QStringLiteral("cmbText"),  QStringLiteral("cmdBrowse"),
        QStringLiteral("cmdSave"),        QStringLiteral("lblFit"),   QStringLiteral("lblMargin"),
        QStringLiteral("lblOrientation"), QStringLiteral("lblPaper"), QStringLiteral("lblText"),
        QStringLiteral("spnMargin"),      QStringLiteral("txtPath")};
    EXPECT_EQ(shown, expected);

    struct Case {
        QWidget *control;
        QString text;
        QString toolTip;
        QRect pixels; // as designed, at any resolution
    };
    const Case cases[] = {
        {control(engine(), "Label3"), QStringLiteral("输出路径:"), QString(), {12, 18, 52, 14}},
        {txtPath(), QString(), QStringLiteral("Select a Folder to Output"), {12, 36, 177, 19}},
        {cmdBrowse(), QStringLiteral("浏览..."), QStringLiteral("Select an Output Folder"), {194, 36, 49, 20}},
        {control(engine(), "Label1"), QStringLiteral("转换模式:"), QString(), {12, 68, 52, 14}},
        {cmbMode(), QString(), QString(), {12, 86, 229, 22}},
        // The page layout, two to a row under the mode, each label beside its control.
        {control(engine(), "lblPaper"), QStringLiteral("纸张:"), QString(), {12, 120, 36, 14}},
        {control(engine(), "cmbPaper"),
         QString(),
         QStringLiteral("原始大小：页面与图片本身一样大；B5 为 182 × 257 毫米"),
         {48, 116, 73, 22}},
        {control(engine(), "lblOrientation"), QStringLiteral("方向:"), QString(), {132, 120, 36, 14}},
        {control(engine(), "cmbOrientation"), QString(), QString(), {168, 116, 73, 22}},
        {control(engine(), "lblMargin"), QStringLiteral("边距:"), QString(), {12, 148, 36, 14}},
        {control(engine(), "spnMargin"), QString(), QString(), {48, 144, 73, 22}},
        {control(engine(), "lblFit"), QStringLiteral("缩放:"), QString(), {132, 148, 36, 14}},
        {control(engine(), "cmbFit"), QString(), QString(), {168, 144, 73, 22}},
        // The text recognition under it: the list beside its label, the check box below.
        {control(engine(), "lblText"), QStringLiteral("识别文字:"), QString(), {12, 176, 52, 14}},
        {control(engine(), "cmbText"),
         QString(),
         QStringLiteral("识别出的文字不可见地放在图片上，PDF 即可搜索和复制；每页需要几秒钟"),
         {64, 172, 177, 22}},
        {control(engine(), "chkUpright"),
         QStringLiteral("自动摆正页面"),
         QStringLiteral("侧放或倒置的页面转正（无损）"),
         {12, 200, 229, 22}},
        {cmdSave(), QStringLiteral("保存设置"), QString(), {72, 242, 91, 27}},
    };
    for (const Case &c : cases) {
        const std::string name = c.control->objectName().toStdString();
        if (auto *label = qobject_cast<QLabel *>(c.control)) {
            EXPECT_EQ(label->text(), c.text) << name;
        }
        if (auto *button = qobject_cast<QAbstractButton *>(c.control)) {
            EXPECT_EQ(button->text(), c.text) << name;
        }
        EXPECT_EQ(c.control->toolTip(), c.toolTip) << name;
        EXPECT_EQ(c.control->geometry(), c.pixels) << name;
        // Nothing may be cut off by the fixed window edge or lie under another control.
        EXPECT_TRUE(engine().rect().contains(c.control->geometry())) << name;
        for (const Case &other : cases)
            EXPECT_TRUE(other.control == c.control || !other.control->geometry().intersects(c.control->geometry()))
                << name << " and " << other.control->objectName().toStdString();
        EXPECT_EQ(QFontInfo(c.control->font()).pixelSize(), 12) << name;
    }
}

TEST_F(SettingsWindow, TabGoesBrowseThenPathThenModeThenTheLayoutThenTheTextThenSaveAndRoundAgain)
{
    showSettings();
    QWidget *paper = control(engine(), "cmbPaper");
    const std::vector<QWidget *> onPaper = {paper, control(engine(), "cmbOrientation"), control(engine(), "spnMargin"),
                                            control(engine(), "cmbFit")};
    struct Case {
        int paperIndex;
        std::vector<QWidget *> layout; // what Tab reaches between the mode and 保存设置
    };
    // On the original paper the other choices mean nothing and are skipped, as greyed controls are.
    const Case cases[] = {{0, {paper}}, {1, onPaper}, {6, {paper, onPaper[2], onPaper[3]}}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.paperIndex);
        control<QComboBox>(engine(), "cmbPaper")->setCurrentIndex(c.paperIndex);
        cmdBrowse()->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), cmdBrowse());
        std::vector<QWidget *> order = {txtPath(), cmbMode()};
        order.insert(order.end(), c.layout.begin(), c.layout.end());
        order.insert(order.end(),
                     {control(engine(), "cmbText"), control(engine(), "chkUpright"), cmdSave(), cmdBrowse()});
        for (const QWidget *next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            ASSERT_EQ(QApplication::focusWidget(), next) << QApplication::focusWidget()->objectName().toStdString();
        }
    }
}

TEST_F(SettingsWindow, TheLayoutListsHoldTheirChoicesInChineseAndTakeNoTyping)
{
    const std::pair<const char *, QStringList> lists[] = {
        {"cmbPaper",
         {QStringLiteral("原始大小"), QStringLiteral("A4"), QStringLiteral("A5"), QStringLiteral("B5"),
          QStringLiteral("Letter"), QStringLiteral("Legal"), QStringLiteral("适应图片")}},
        {"cmbOrientation", {QStringLiteral("自动"), QStringLiteral("纵向"), QStringLiteral("横向")}},
        {"cmbFit", {QStringLiteral("适应页面"), QStringLiteral("仅缩小")}},
        {"cmbText", {QStringLiteral("不识别文字"), QStringLiteral("中文和英文"), QStringLiteral("英文")}},
    };
    for (const auto &[name, items] : lists) {
        auto *list = control<QComboBox>(engine(), QLatin1String(name));
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->itemText(i);
        EXPECT_EQ(shown, items) << name;
        EXPECT_FALSE(list->isEditable()) << name;
        EXPECT_EQ(list->currentIndex(), 0) << name;
    }
    auto *margin = control<QSpinBox>(engine(), "spnMargin");
    EXPECT_EQ(margin->minimum(), 0);
    EXPECT_EQ(margin->maximum(), 50);
    EXPECT_EQ(margin->value(), 0);
    EXPECT_EQ(margin->suffix(), QStringLiteral(" 毫米"));
    for (int step = 0; step < 4; ++step)
        margin->stepUp();
    EXPECT_EQ(margin->value(), 20) << "the steps are the usual 5, 10, 15, 20 mm";
    EXPECT_FALSE(control<QCheckBox>(engine(), "chkUpright")->isChecked());
}

// The text choice is saved with the layout, shown again at the next start, dropped when the window
// closes unsaved.
TEST_F(SettingsWindow, SavesTheTextChoiceBesideTheLayout)
{
    auto *text = control<QComboBox>(engine(), "cmbText");
    auto *upright = control<QCheckBox>(engine(), "chkUpright");
    runModally([&] {
        text->setCurrentIndex(1);
        upright->setChecked(true);
    });
    EXPECT_EQ(text->currentIndex(), 0) << "closed unsaved";
    EXPECT_FALSE(upright->isChecked());

    runModally([&] {
        control<QComboBox>(engine(), "cmbPaper")->setCurrentIndex(1);
        text->setCurrentIndex(1);
        upright->setChecked(true);
        cmdSave()->click();
    });
    const QString ini = appFolder_ + QStringLiteral("/pagemint.ini");
    EXPECT_EQ(readTextChoiceFile(ini), (TextChoice{Recognition::ChineseAndEnglish, true}));
    EXPECT_EQ(readPageLayoutFile(ini).paper, Paper::A4);

    runModally([&] {
        text->setCurrentIndex(2);
        upright->setChecked(false);
        cmdSave()->click();
    });
    EXPECT_EQ(readTextChoiceFile(ini), (TextChoice{Recognition::English, false}));
    EXPECT_EQ(readPageLayoutFile(ini).paper, Paper::A4) << "the layout kept";

    // A new start shows what was saved.
    engine_.reset();
    engine_ = std::make_unique<frmPrinting>();
    engine_->Form_Load();
    finishLoading();
    EXPECT_EQ(control<QComboBox>(engine(), "cmbText")->currentIndex(), 2);
    EXPECT_FALSE(control<QCheckBox>(engine(), "chkUpright")->isChecked());
}

// The picture of README and the user guide.
TEST_F(SettingsWindow, SavesAScreenshotWithTheLayoutChosen)
{
    showSettings();
    txtPath()->setText(QStringLiteral("/home/ann/Output"));
    control<QComboBox>(engine(), "cmbPaper")->setCurrentIndex(1);
    control<QSpinBox>(engine(), "spnMargin")->setValue(10);
    const QImage shot = engine().grab().toImage();
    EXPECT_EQ(shot.deviceIndependentSize(), QSizeF(settingsWindowSizeAt(engine().logicalDpiX())));
    if (inScaledChild())
        return;
    QDir().mkpath(QStringLiteral(PAGEMINT_APP_DIR "/../screenshots"));
    EXPECT_TRUE(shot.save(QStringLiteral(PAGEMINT_APP_DIR "/../screenshots/settings-window.png")));
}

TEST_F(SettingsWindow, TheModeListHoldsExactlyTheTwoModesAndTakesNoTyping)
{
    QComboBox *mode = cmbMode();
    ASSERT_EQ(mode->count(), 2);
    EXPECT_EQ(mode->itemText(0), QStringLiteral("将所有图片转换合并成一个PDF"));
    EXPECT_EQ(mode->itemText(1), QStringLiteral("转换每张图片到单独的PDF"));
    EXPECT_FALSE(mode->isEditable());
    EXPECT_EQ(mode->lineEdit(), nullptr);

    showSettings();
    mode->setFocus();
    for (int selected : {0, 1}) {
        mode->setCurrentIndex(selected);
        QTest::keyClicks(mode, QStringLiteral("xyz"));
        EXPECT_EQ(mode->count(), 2);
        EXPECT_EQ(mode->currentIndex(), selected);
        EXPECT_FALSE(mode->isEditable());
    }
}

TEST_F(SettingsWindow, TheCloseBoxHidesItAndDropsWhatWasNotSaved)
{
    const QString loaded = txtPath()->text();
    const QString folder = env_.home() + QStringLiteral("/Elsewhere");
    runModally([&] {
        txtPath()->setText(folder);
        cmbMode()->setCurrentIndex(1);
    });
    EXPECT_FALSE(engine().isVisible());
    EXPECT_FALSE(engine().isUnloaded());
    EXPECT_TRUE(window().isVisible());
    EXPECT_FALSE(OnePdfPerPicture);

    QString pathShown;
    int modeShown = -1;
    runModally([&] {
        pathShown = txtPath()->text();
        modeShown = cmbMode()->currentIndex();
        // Saved this time: kept from now on.
        txtPath()->setText(folder);
        cmbMode()->setCurrentIndex(1);
        cmdSave()->click();
    });
    EXPECT_EQ(pathShown, loaded);
    EXPECT_EQ(modeShown, 0);
    EXPECT_TRUE(OnePdfPerPicture);
    runModally([&] {
        pathShown = txtPath()->text();
        modeShown = cmbMode()->currentIndex();
    });
    EXPECT_EQ(pathShown, folder);
    EXPECT_EQ(modeShown, 1);
}

TEST_F(SettingsWindow, EscapeLeavesItOpen)
{
    bool openAfterEscape = false;
    runModally([&] {
        QTest::keyClick(txtPath(), Qt::Key_Escape);
        QTest::keyClick(cmdSave(), Qt::Key_Escape);
        QTest::keyClick(&engine(), Qt::Key_Escape);
        QCoreApplication::processEvents();
        openAfterEscape = engine().isVisible();
    });
    EXPECT_TRUE(openAfterEscape);
}

TEST_F(SettingsWindow, TheMenusHoldTheirItemsInOrder)
{
    struct Case {
        QMenu *menu;
        QStringList items; // "-" for a separator
    };
    const Case cases[] = {
        {control<QMenu>(engine(), "menuFile"),
         {QStringLiteral("添加文件"), QStringLiteral("添加文件夹"), QStringLiteral("-"), QStringLiteral("退出")}},
        {control<QMenu>(engine(), "menuR"), {QStringLiteral("移除选中文件"), QStringLiteral("清空列表")}},
        {control<QMenu>(engine(), "menuContrl"),
         {QStringLiteral("上移一行"), QStringLiteral("下移一行"), QStringLiteral("向左旋转"),
          QStringLiteral("向右旋转"), QStringLiteral("-"), QStringLiteral("按文件名排序"),
          QStringLiteral("按拍摄时间排序"), QStringLiteral("倒序"), QStringLiteral("-"), QStringLiteral("取消转换")}},
        {control<QMenu>(engine(), "menuA"), {QStringLiteral("访问网站"), QStringLiteral("-"), QStringLiteral("关于")}},
    };
    for (const Case &c : cases) {
        QStringList items;
        for (const QAction *action : c.menu->actions())
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        EXPECT_EQ(items, c.items) << c.menu->objectName().toStdString();
    }
}

TEST_F(SettingsWindow, AboutIsAOneLineMessageNamingPagemintAndItsVersion)
{
    MessageRecord about;
    ModalAnswerer answerer;
    answerer.thenMessage(QMessageBox::Ok, &about);
    engine().findChild<QAction *>(QStringLiteral("menuAbout"))->trigger();
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(QLatin1Char(';')).toStdString();
    EXPECT_EQ(about.caption, QStringLiteral("关于"));
    EXPECT_TRUE(about.text.contains(QStringLiteral("Pagemint"))) << about.text.toStdString();
    EXPECT_TRUE(about.text.contains(QStringLiteral(PAGEMINT_VERSION))) << about.text.toStdString();
    EXPECT_FALSE(about.text.contains(QLatin1Char('\n')));
    EXPECT_EQ(about.icon, QMessageBox::NoIcon);
    EXPECT_EQ(about.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_TRUE(opened_.isEmpty());
}

TEST_F(SettingsWindow, TheWebCommandOpensTheHelpPageOfTheApplicationFolder)
{
    engine().findChild<QAction *>(QStringLiteral("menuWeb"))->trigger();
    EXPECT_EQ(opened_, QStringList{QStringLiteral("open ") + appFolder_ + QStringLiteral("/help/index.html")});
}

TEST_F(SettingsWindow, TheWebCommandNamesTheHelpPageWhereNoProgramOpensIt)
{
    shellOpens_ = false;
    MessageRecord shown;
    ModalAnswerer answerer;
    answerer.thenMessage(QMessageBox::Ok, &shown);
    engine().findChild<QAction *>(QStringLiteral("menuWeb"))->trigger();
    EXPECT_EQ(answerer.pending(), 0u);
    EXPECT_TRUE(shown.text.contains(appFolder_ + QStringLiteral("/help/index.html"))) << shown.text.toStdString();
    EXPECT_EQ(shown.caption, QStringLiteral("访问网站"));
}

// 退出 of the file menu, chosen as a user would while the menu is open under its zone.
class FileMenuExit : public SettingsWindow {
protected:
    void choose(const std::function<void(QMenu *, QAction *)> &how)
    {
        ModalAnswerer answerer;
        answerer.then([&](QWidget *popup) {
            auto *menu = qobject_cast<QMenu *>(popup);
            how(menu, menu->findChild<QAction *>(QStringLiteral("menuExit")));
            if (menu->isVisible())
                menu->close();
        });
        window().imgMenu_MouseDown(0);
        EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(QLatin1Char(';')).toStdString();
    }
    void expectTheProgramEnded()
    {
        EXPECT_TRUE(exitRequested);
        EXPECT_TRUE(engine().isUnloaded());
        EXPECT_FALSE(window().isVisible());
    }
};

TEST_F(FileMenuExit, ByMouseEndsTheProgram)
{
    choose([](QMenu *menu, QAction *exit) {
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(exit).center());
    });
    expectTheProgramEnded();
}

TEST_F(FileMenuExit, ByKeyboardEndsTheProgram)
{
    // Up from the top wraps round to the last item, 退出.
    choose([](QMenu *menu, QAction *) {
        QTest::keyClick(menu, Qt::Key_Up);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    expectTheProgramEnded();
}

} // namespace
} // namespace pagemint::test
