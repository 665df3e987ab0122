// The conversion-settings window as the user meets it: its six controls, their order, the mode
// list, hiding on close, and the About and web commands of its menus.
#include "EngineFixture.h"
#include "ModalAnswerer.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QUrl>

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

TEST_F(SettingsWindow, ShowsExactlySixControlsWithTheirTextsInsideAFixedWindow)
{
    showSettings();
    EXPECT_EQ(engine().windowTitle(), QStringLiteral("转换设置"));
    EXPECT_EQ(engine().size(), QSize(253, 170));
    EXPECT_EQ(engine().minimumSize(), QSize(253, 170));
    EXPECT_EQ(engine().maximumSize(), QSize(253, 170));
    EXPECT_TRUE(engine().findChildren<QMenuBar *>().isEmpty());

    std::vector<QString> shown = visibleControls();
    std::sort(shown.begin(), shown.end());
    const std::vector<QString> expected = {QStringLiteral("Label1"), QStringLiteral("Label3"), QStringLiteral("cmbMode"),
                                           QStringLiteral("cmdBrowse"), QStringLiteral("cmdSave"), QStringLiteral("txtPath")};
    EXPECT_EQ(shown, expected);

    struct Case {
        QWidget *control;
        QString text;
        QString toolTip;
    };
    const Case cases[] = {
        {engine().Label3, QStringLiteral("输出路径:"), QString()},
        {engine().txtPath, QString(), QStringLiteral("Select a Folder to Output")},
        {engine().cmdBrowse, QStringLiteral("浏览..."), QStringLiteral("Select an Output Folder")},
        {engine().Label1, QStringLiteral("转换模式:"), QString()},
        {engine().cmbMode, QString(), QString()},
        {engine().cmdSave, QStringLiteral("保存设置"), QString()},
    };
    for (const Case &c : cases) {
        const std::string name = c.control->objectName().toStdString();
        if (auto *label = qobject_cast<QLabel *>(c.control)) {
            EXPECT_EQ(label->text(), c.text) << name;
        }
        if (auto *button = qobject_cast<QPushButton *>(c.control)) {
            EXPECT_EQ(button->text(), c.text) << name;
        }
        EXPECT_EQ(c.control->toolTip(), c.toolTip) << name;
        // Nothing may be cut off by the fixed window edge.
        EXPECT_TRUE(engine().rect().contains(c.control->geometry())) << name;
        EXPECT_FALSE(c.control->geometry().isEmpty()) << name;
    }
}

TEST_F(SettingsWindow, TabGoesBrowseThenPathThenModeThenSaveAndRoundAgain)
{
    showSettings();
    engine().cmdBrowse->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), engine().cmdBrowse);
    const QWidget *order[] = {engine().txtPath, engine().cmbMode, engine().cmdSave, engine().cmdBrowse};
    for (const QWidget *next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), next) << QApplication::focusWidget()->objectName().toStdString();
    }
}

TEST_F(SettingsWindow, TheModeListHoldsExactlyTheTwoModesAndTakesNoTyping)
{
    QComboBox *mode = engine().cmbMode;
    ASSERT_EQ(mode->count(), 2);
    EXPECT_EQ(mode->itemText(0), QStringLiteral("将所有图片转换合并成一个PDF"));
    EXPECT_EQ(mode->itemText(1), QStringLiteral("转换每张图片到单独的PDF"));
    EXPECT_FALSE(mode->isEditable());
    EXPECT_EQ(mode->lineEdit(), nullptr);

    showSettings();
    mode->setFocus();
    QTest::keyClicks(mode, QStringLiteral("xyz"));
    EXPECT_EQ(mode->count(), 2);
    EXPECT_TRUE(mode->currentIndex() == 0 || mode->currentIndex() == 1);
}

TEST_F(SettingsWindow, TheCloseBoxHidesItAndTheNextShowingKeepsTheValues)
{
    const QString folder = env_.home() + QStringLiteral("/Elsewhere");
    runModally([&] {
        engine().txtPath->setText(folder);
        engine().cmbMode->setCurrentIndex(1);
    });
    EXPECT_FALSE(engine().isVisible());
    EXPECT_FALSE(engine().isUnloaded());
    EXPECT_TRUE(window().isVisible());

    QString pathShown;
    int modeShown = -1;
    runModally([&] {
        pathShown = engine().txtPath->text();
        modeShown = engine().cmbMode->currentIndex();
    });
    EXPECT_EQ(pathShown, folder);
    EXPECT_EQ(modeShown, 1);
}

TEST_F(SettingsWindow, EscapeLeavesItOpen)
{
    bool openAfterEscape = false;
    runModally([&] {
        QTest::keyClick(engine().txtPath, Qt::Key_Escape);
        QTest::keyClick(engine().cmdSave, Qt::Key_Escape);
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
        {engine().menuFile, {QStringLiteral("添加文件"), QStringLiteral("添加文件夹"), QStringLiteral("-"), QStringLiteral("退出")}},
        {engine().menuR, {QStringLiteral("移除选中文件"), QStringLiteral("清空列表")}},
        {engine().menuContrl, {QStringLiteral("上移一行"), QStringLiteral("下移一行")}},
        {engine().menuA, {QStringLiteral("访问网站"), QStringLiteral("-"), QStringLiteral("关于")}},
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

TEST_F(SettingsWindow, TheWebCommandOpensTheMakersAddressInTheBrowser)
{
    engine().findChild<QAction *>(QStringLiteral("menuWeb"))->trigger();
    EXPECT_EQ(opened_, QStringList{QStringLiteral("open ") + makerWebAddress()});
    // A web address the browser takes, not a file path the shell would look for.
    const QUrl address(makerWebAddress());
    EXPECT_TRUE(address.isValid());
    EXPECT_EQ(address.scheme(), QStringLiteral("https"));
}

} // namespace
} // namespace pagemint::test
