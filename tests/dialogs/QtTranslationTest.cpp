// Qt's own texts in Chinese: every dialog and message box the program shows, with the system's
// locale left as it is (C.UTF-8 on these machines).
#include "DialogsFixture.h"
#include "EngineFixture.h"

#include "ui/MessageBox.h"
#include "ui/QtTranslation.h"

#include "Wait.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QTranslator>
#include <QTreeView>
#include <QUrl>

#include <functional>

namespace pagemint::test {
namespace {

// Qt's Chinese translation and locale while it lives; the other tests of this program expect Qt's
// own texts.
class ChineseForQt {
public:
    ChineseForQt() : translator_(installChineseForQt()) {}
    ~ChineseForQt()
    {
        QCoreApplication::removeTranslator(translator_);
        delete translator_;
        QLocale::setDefault(QLocale::system());
    }
    ChineseForQt(const ChineseForQt &) = delete;
    ChineseForQt &operator=(const ChineseForQt &) = delete;
    bool installed() const { return translator_ != nullptr; }

private:
    QTranslator *translator_;
};

class QtTranslation : public DialogsFixture {
protected:
    void SetUp() override
    {
        DialogsFixture::SetUp();
        ASSERT_TRUE(chinese_.installed()) << "qtbase_zh_CN not found (package qt6-translations-l10n)";
    }
    // The texts of a window's buttons and labels, and their tooltips.
    static QStringList textsOf(QWidget *window)
    {
        QStringList texts;
        for (const QAbstractButton *button : window->findChildren<QAbstractButton *>())
            texts << button->text() << button->toolTip();
        for (const QLabel *label : window->findChildren<QLabel *>())
            texts << label->text();
        texts.removeAll(QString());
        return texts;
    }

    ChineseForQt chinese_;
};

TEST_F(QtTranslation, EveryDialogAndMessageBoxSpeaksChinese)
{
    struct Case {
        const char *window;
        std::function<void()> open;
        QStringList chinese;
    };
    const Case cases[] = {
        {"open",
         [this] { dialogs_.ShowOpen(); },
         {QStringLiteral("打开"), QStringLiteral("查找范围："), QStringLiteral("父目录")}},
        {"save", [this] { dialogs_.ShowSave(); }, {QStringLiteral("保存(&S)"), QStringLiteral("文件名称(&N)：")}},
        {"folder", [this] { dialogs_.ShowFolder(); }, {QStringLiteral("新建文件夹")}},
        {"colour", [this] { dialogs_.ShowColor(false); }, {QStringLiteral("确定")}},
        {"font", [this] { dialogs_.ShowFont(); }, {QStringLiteral("确定")}},
        {"print", [this] { dialogs_.ShowPrinter(); }, {}},
        {"message box",
         [this] {
             ShowMessage(&owner_, QStringLiteral("x"), QStringLiteral("y"), QMessageBox::Warning,
                         QMessageBox::Ok | QMessageBox::Cancel);
         },
         {QStringLiteral("确定")}},
    };
    for (const Case &c : cases) {
        QStringList shown;
        answerer_.then([&](QWidget *window) {
            shown = textsOf(window);
            cancelDialog(window);
        });
        c.open();
        EXPECT_TRUE(shown.contains(QStringLiteral("取消")))
            << c.window << ": " << shown.join(QLatin1Char('|')).toStdString();
        for (const QString &text : c.chinese)
            EXPECT_TRUE(shown.contains(text))
                << c.window << ": " << text.toStdString() << " in " << shown.join(QLatin1Char('|')).toStdString();
        for (const QString &english : {QStringLiteral("Cancel"), QStringLiteral("&Cancel"), QStringLiteral("OK"),
                                       QStringLiteral("&OK"), QStringLiteral("&Open"), QStringLiteral("&Save")})
            EXPECT_FALSE(shown.contains(english)) << c.window << ": " << english.toStdString();
    }
}

// The open dialog of the add-file command as README shows it (docs/open-dialog.png is a copy of
// the picture kept beside the build). Folder, names, sizes and times are fixed, so the picture
// comes out the same every run.
class ReadmeOpenDialog : public EngineFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(chinese_.installed());
        EngineFixture::SetUp();
        finishLoading();
        QDir(folder_).removeRecursively();
        const QDateTime taken(QDate(2026, 3, 14), QTime(10, 30));
        const std::pair<const char *, int> pictures[] = {{"IMG_0001.jpg", 2'310'144},
                                                         {"IMG_0002.jpg", 2'187'520},
                                                         {"收据.png", 402'211},
                                                         {"扫描 2026-03.tif", 5'120'000}};
        for (const auto &[name, size] : pictures) {
            QFile file(folder_ + QLatin1Char('/') + QString::fromUtf8(name));
            ASSERT_TRUE(QDir().mkpath(folder_) && file.open(QIODevice::WriteOnly));
            file.resize(size);
            file.setFileTime(taken, QFileDevice::FileModificationTime);
        }
    }
    void TearDown() override
    {
        EngineFixture::TearDown();
        QDir(QFileInfo(folder_).path()).removeRecursively();
    }

    ChineseForQt chinese_;
    const QString folder_ = QStringLiteral("/tmp/Pagemint 示例/图片");
};

TEST_F(ReadmeOpenDialog, RendersTheAddFileDialogInChinese)
{
    QImage shot;
    ModalAnswerer answerer;
    answerer.then([&](QWidget *window) {
        auto *dialog = qobject_cast<QFileDialog *>(window);
        if (dialog == nullptr) {
            cancelDialog(window);
            return;
        }
        dialog->setSidebarUrls({QUrl::fromLocalFile(QStringLiteral("/")), QUrl::fromLocalFile(folder_)});
        dialog->setDirectory(folder_);
        dialog->resize(720, 420);
        auto *files = dialog->findChild<QTreeView *>(QStringLiteral("treeView"));
        ASSERT_NE(files, nullptr);
        // The folder is read in the background; the first filter shows the two JPEGs.
        ASSERT_TRUE(waitFor([&] { return files->model()->rowCount(files->rootIndex()) == 2; }));
        QCoreApplication::processEvents();
        files->header()->resizeSections(QHeaderView::ResizeToContents);
        shot = dialog->grab().toImage();
        cancelDialog(dialog);
    });
    window().imgToolbar_MouseDown(0);
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(QLatin1Char(';')).toStdString();
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), QSize(720, 420));
    QDir().mkpath(QStringLiteral(PAGEMINT_APP_DIR "/../screenshots"));
    EXPECT_TRUE(shot.save(QStringLiteral(PAGEMINT_APP_DIR "/../screenshots/open-dialog.png")));
}

} // namespace
} // namespace pagemint::test
