// Qt's own texts in Chinese: every dialog and message box the program shows, with the system's
// locale left as it is (C.UTF-8 on these machines).
#include "DialogsFixture.h"
#include "EngineFixture.h"

#include "ui/MessageBox.h"
#include "ui/QtTranslation.h"

#include "Wait.h"

#include <QAbstractButton>
#include <QAbstractProxyModel>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QMap>
#include <QTemporaryDir>
#include <QTimer>
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
    ChineseForQt() : chinese_(installChineseForQt()) {}
    ~ChineseForQt()
    {
        delete chinese_;
        QLocale::setDefault(QLocale::system());
    }
    ChineseForQt(const ChineseForQt &) = delete;
    ChineseForQt &operator=(const ChineseForQt &) = delete;
    bool installed() const { return chinese_ != nullptr; }

private:
    QObject *chinese_;
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

// Qt's file model formats sizes and dates with the system's locale (C.UTF-8 here: "2.20 MiB",
// "14 Mar 2026") and calls a folder "Folder": the dialogs show them in Chinese all the same.
TEST_F(QtTranslation, FileDialogsShowSizesDatesAndFoldersInChinese)
{
    QTemporaryDir temporary;
    ASSERT_TRUE(temporary.isValid());
    const QString folder = temporary.path();
    const QDateTime taken(QDate(2026, 3, 14), QTime(10, 30));
    QFile picture(folder + QStringLiteral("/IMG_0001.jpg"));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly) && picture.resize(2'310'144));
    ASSERT_TRUE(picture.setFileTime(taken, QFileDevice::FileModificationTime));
    picture.close();
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("扫描")));

    QFileDialog dialog(&owner_);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.show();
    ASSERT_NE(dialog.proxyModel(), nullptr) << "the dialog kept Qt's own model";
    auto *files = qobject_cast<QFileSystemModel *>(dialog.proxyModel()->sourceModel());
    ASSERT_NE(files, nullptr);
    QEventLoop loop;
    bool loaded = false;
    QObject::connect(files, &QFileSystemModel::directoryLoaded, &loop, [&](const QString &path) {
        if (QFileInfo(path) == QFileInfo(folder)) {
            loaded = true;
            loop.quit();
        }
    });
    QTimer::singleShot(30'000, &loop, &QEventLoop::quit); // a guard against a hang, not a measure
    dialog.setDirectory(folder);
    if (!loaded)
        loop.exec();
    ASSERT_TRUE(loaded);

    const auto *view = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
    ASSERT_NE(view, nullptr);
    const QAbstractItemModel *shown = view->model();
    QMap<QString, QStringList> rows; // name: size, kind, date
    for (int row = 0; row < shown->rowCount(view->rootIndex()); ++row) {
        const auto text = [&](int column) { return shown->index(row, column, view->rootIndex()).data().toString(); };
        rows.insert(text(0), {text(1), text(2), text(3)});
    }
    ASSERT_TRUE(rows.contains(QStringLiteral("IMG_0001.jpg"))) << rows.keys().join(u' ').toStdString();
    ASSERT_TRUE(rows.contains(QStringLiteral("扫描"))) << rows.keys().join(u' ').toStdString();
    EXPECT_EQ(rows[QStringLiteral("IMG_0001.jpg")][0], QStringLiteral("2.20 MB"));
    EXPECT_EQ(rows[QStringLiteral("IMG_0001.jpg")][2], QStringLiteral("2026/3/14 10:30"));
    EXPECT_EQ(rows[QStringLiteral("扫描")][0], QString());
    EXPECT_EQ(rows[QStringLiteral("扫描")][1], QStringLiteral("文件夹"));
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
        // The folder is read in the background; the first filter, 所有图片, shows all four pictures.
        ASSERT_TRUE(waitFor([&] { return files->model()->rowCount(files->rootIndex()) == 4; }));
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
