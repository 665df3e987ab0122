#include "EngineFixture.h"
#include "LogCapture.h"
#include "ModalAnswerer.h"

#include "app/ConversionMode.h"
#include "common/ApplicationFolder.h"
#include "common/ExitRequest.h"
#include "conversion/DocumentProperties.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>

namespace pagemint::test {
namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class Settings : public EngineFixture {
protected:
    QString settingsFile() const { return appFolder_ + QStringLiteral("/setting.dll"); }
    // Ends this run and starts the program's windows again, as a restart would.
    void restart()
    {
        engine_.reset();
        OnePdfPerPicture = false;
        engine_ = std::make_unique<frmPrinting>();
        engine_->Form_Load();
    }
    void saveWith(const QString &folder, int mode)
    {
        engine().show();
        txtPath()->setText(folder);
        cmbMode()->setCurrentIndex(mode);
        cmdSave()->click();
    }
};

TEST_F(Settings, FirstRunShowsTheDefaults)
{
    EXPECT_EQ(txtPath()->text(), QDir::homePath() + QStringLiteral("/Output"));
    EXPECT_EQ(cmbMode()->currentText(), mergeModeText());
    EXPECT_FALSE(OnePdfPerPicture);
    EXPECT_FALSE(QFile::exists(settingsFile()));
}

TEST_F(Settings, SavedFolderAndModeComeBackAfterARestart)
{
    const QString folder = env_.root() + QStringLiteral("/PDF 输出, final");
    saveWith(folder, 1);
    EXPECT_FALSE(engine().isVisible());
    EXPECT_TRUE(OnePdfPerPicture);
    EXPECT_EQ(readAll(settingsFile()), folder.toLocal8Bit() + "\r\n1\r\n");
    restart();
    EXPECT_EQ(txtPath()->text(), folder);
    EXPECT_EQ(cmbMode()->currentText(), perPictureModeText());
    EXPECT_TRUE(OnePdfPerPicture);
}

TEST_F(Settings, ModeChangesOnlyWithASave)
{
    engine().show();
    cmbMode()->setCurrentIndex(1);
    engine().close();
    EXPECT_FALSE(OnePdfPerPicture);
    // Closed without saving: the mode in force shows again.
    EXPECT_EQ(cmbMode()->currentIndex(), 0);
    engine().show();
    cmbMode()->setCurrentIndex(-1);
    cmdSave()->click();
    // No selection counts as one PDF per picture.
    EXPECT_TRUE(OnePdfPerPicture);
    EXPECT_EQ(readAll(settingsFile()).split('\n').value(1), QByteArray("-1\r"));
}

// The same check in a second process: the test program runs itself with a filter for the reader
// below, which loads the windows from the saved application folder.
TEST_F(Settings, SavedSettingsReachASecondProcess)
{
    const QString folder = env_.root() + QStringLiteral("/second run");
    saveWith(folder, 1);
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PAGEMINT_SAVED_APP_FOLDER"), appFolder_);
    environment.insert(QStringLiteral("PAGEMINT_SAVED_OUTPUT_FOLDER"), folder);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=SettingsReader.*")});
    ASSERT_TRUE(child.waitForFinished(30000));
    const QString output = QString::fromLocal8Bit(child.readAllStandardOutput());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
}

TEST(SettingsReader, ShowsWhatTheFirstProcessSaved)
{
    const QString appFolder = qEnvironmentVariable("PAGEMINT_SAVED_APP_FOLDER");
    if (appFolder.isEmpty())
        GTEST_SKIP() << "runs only as the second process of SavedSettingsReachASecondProcess";
    TestEnvironment env;
    setApplicationFolderForTesting(appFolder);
    OnePdfPerPicture = false;
    frmPrinting engine;
    engine.Form_Load();
    EXPECT_EQ(control<QLineEdit>(engine, "txtPath")->text(), qEnvironmentVariable("PAGEMINT_SAVED_OUTPUT_FOLDER"));
    EXPECT_EQ(control<QComboBox>(engine, "cmbMode")->currentText(), perPictureModeText());
    EXPECT_TRUE(OnePdfPerPicture);
    setApplicationFolderForTesting(QString());
}

class OneLineSettings : public Settings {
    void prepareApplicationFolder() override
    {
        QFile file(appFolder_ + QStringLiteral("/setting.dll"));
        if (file.open(QIODevice::WriteOnly))
            file.write("/srv/pdf\r\n");
    }
};

TEST_F(OneLineSettings, GiveTheFolderAndOnePdfPerPicture)
{
    EXPECT_EQ(txtPath()->text(), QStringLiteral("/srv/pdf"));
    EXPECT_EQ(cmbMode()->currentIndex(), -1);
    EXPECT_TRUE(OnePdfPerPicture);
}

TEST_F(Settings, ALoadTakesWhatTheFileGivesAndLeavesTheRestAsDesigned)
{
    const QString designFolder = QDir::homePath() + QStringLiteral("/Output");
    struct Case {
        const char *what;
        QByteArray bytes;
        QString folder;
        int mode;
    };
    // Nothing selected counts as one PDF per picture.
    const Case cases[] = {
        {"empty folder line", "\r\n0\r\n", QString(), 0},
        {"one line", "/srv/pdf\r\n", QStringLiteral("/srv/pdf"), -1},
        {"empty mode line", "/srv/pdf\r\n\r\n", QStringLiteral("/srv/pdf"), -1},
        {"mode out of range", "/srv/pdf\r\n2\r\n", QStringLiteral("/srv/pdf"), -1},
        {"empty file", "", designFolder, -1},
        {"Latin-1 folder", "/srv/caf\xE9\r\n1\r\n", QStringLiteral("/srv/caf") + QChar(0xDCE9), 1},
    };
    for (const Case &c : cases) {
        QFile file(settingsFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.bytes);
        file.close();
        restart();
        EXPECT_EQ(txtPath()->text(), c.folder) << c.what;
        EXPECT_EQ(cmbMode()->currentIndex(), c.mode) << c.what;
        EXPECT_EQ(OnePdfPerPicture, c.mode != 0) << c.what;
    }
}

TEST_F(Settings, AJobAfterTheWindowWasClosedWithoutSavingUsesTheSavedSettings)
{
    // The step after loading clears the staging folder; on a slow build it would do so mid-job.
    finishLoading();
    const QString saved = env_.root() + QStringLiteral("/saved");
    saveWith(saved, 0);
    QImage page(40, 30, QImage::Format_RGB32);
    page.fill(Qt::darkCyan);
    const QStringList pictures = {env_.writeFile(QStringLiteral("pics/a.jpg")),
                                  env_.writeFile(QStringLiteral("pics/b.jpg"))};
    for (const QString &picture : pictures)
        ASSERT_TRUE(page.save(picture, "JPG"));
    addEntries(pictures);

    const QString abandoned = env_.root() + QStringLiteral("/typed and abandoned");
    engine().show();
    txtPath()->setText(abandoned);
    cmbMode()->setCurrentIndex(1);
    engine().close();
    ModalAnswerer answerer(60000);
    txtMsg()->setText(QStringLiteral("Convert"));
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(QLatin1Char(';')).toStdString();

    // One merged document in the saved folder; nothing where the abandoned edit pointed.
    EXPECT_TRUE(QFileInfo(saved + QStringLiteral("/NewPDF.pdf")).isFile());
    EXPECT_FALSE(QFileInfo::exists(saved + QStringLiteral("/a.pdf")));
    EXPECT_FALSE(QFileInfo::exists(abandoned));
    EXPECT_TRUE(opened_.contains(QStringLiteral("open ") + saved)) << opened_.join(QLatin1Char(';')).toStdString();
}

// The page layout as the window shows it: paper, orientation, margin, fit.
struct ShownLayout {
    int paper, orientation, marginMm, fit;
    bool operator==(const ShownLayout &) const = default;
};

class LayoutSettings : public Settings {
protected:
    QString layoutFile() const { return appFolder_ + QStringLiteral("/pagemint.ini"); }
    QComboBox *list(const char *name) { return control<QComboBox>(engine(), QLatin1String(name)); }
    QSpinBox *margin() { return control<QSpinBox>(engine(), "spnMargin"); }
    ShownLayout shown()
    {
        return {list("cmbPaper")->currentIndex(), list("cmbOrientation")->currentIndex(), margin()->value(),
                list("cmbFit")->currentIndex()};
    }
    void choose(const ShownLayout &layout)
    {
        list("cmbPaper")->setCurrentIndex(layout.paper);
        list("cmbOrientation")->setCurrentIndex(layout.orientation);
        margin()->setValue(layout.marginMm);
        list("cmbFit")->setCurrentIndex(layout.fit);
    }
    static constexpr ShownLayout designed{0, 0, 0, 0}; // 原始大小, 自动, 0 mm, 适应页面
};

TEST_F(LayoutSettings, TheSavedLayoutComesBackAfterARestartAndSettingDllKeepsItsTwoLines)
{
    EXPECT_EQ(shown(), designed);
    const QString folder = env_.root() + QStringLiteral("/pdf");
    engine().show();
    choose({3, 2, 15, 1}); // B5, 横向, 15 mm, 仅缩小
    saveWith(folder, 1);
    EXPECT_EQ(readAll(settingsFile()), folder.toLocal8Bit() + "\r\n1\r\n");
    EXPECT_EQ(readAll(layoutFile()), QByteArray("[Page]\nPaper=B5\nOrientation=landscape\nMarginMm=15\nFit=shrink\n"
                                                "[Text]\nRecognition=off\nUpright=false\n"));
    restart();
    EXPECT_EQ(shown(), (ShownLayout{3, 2, 15, 1}));
    EXPECT_EQ(txtPath()->text(), folder);
}

TEST_F(LayoutSettings, ClosingWithoutSavingShowsTheLayoutInForceAgain)
{
    engine().show();
    choose({6, 1, 20, 1});
    engine().close();
    EXPECT_EQ(shown(), designed);
    EXPECT_FALSE(QFile::exists(layoutFile()));
    engine().show();
    choose({1, 0, 10, 0});
    cmdSave()->click();
    engine().show();
    choose({2, 2, 5, 1});
    engine().close();
    EXPECT_EQ(shown(), (ShownLayout{1, 0, 10, 0}));
}

TEST_F(LayoutSettings, AStartTakesTheGoodKeysOfTheFileAndWarnsOfTheBadOnes)
{
    {
        QFile file(layoutFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Page]\nPaper=A3\nOrientation=portrait\nMarginMm=12\nFit=stretch\n");
    }
    const LogCapture log;
    restart();
    EXPECT_EQ(shown(), (ShownLayout{0, 1, 12, 0}));
    EXPECT_EQ(log.warnings().size(), 2) << log.warnings().join(u'\n').toStdString();
    // The original paper: the choices that mean nothing on it are greyed.
    EXPECT_TRUE(list("cmbPaper")->isEnabled());
    EXPECT_FALSE(list("cmbOrientation")->isEnabled());
    EXPECT_FALSE(margin()->isEnabled());
    EXPECT_FALSE(list("cmbFit")->isEnabled());
}

TEST_F(Settings, BrowsingSetsTheFolderAndCancellingKeepsIt)
{
    const QString chosen = env_.root() + QStringLiteral("/chosen");
    QDir().mkpath(chosen);
    txtPath()->setText(QStringLiteral("/before"));
    ModalAnswerer answerer;
    answerer.then(cancelDialog);
    cmdBrowse()->click();
    EXPECT_EQ(txtPath()->text(), QStringLiteral("/before"));
    answerer.then([&](QWidget *dialog) { chooseFile(dialog, chosen); });
    cmdBrowse()->click();
    EXPECT_EQ(txtPath()->text(), chosen);
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(QLatin1Char(';')).toStdString();
    // Browsing alone saves nothing.
    EXPECT_FALSE(QFile::exists(settingsFile()));
}

} // namespace
} // namespace pagemint::test
