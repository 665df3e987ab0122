#include "EngineFixture.h"

#include "Wait.h"

#include "app/ConversionMode.h"
#include "common/ApplicationFolder.h"
#include "common/ExitRequest.h"
#include "ui/Shell.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>

namespace pagemint::test {

void EngineFixture::SetUp()
{
    exitRequested = false;
    OnePdfPerPicture = false;
    // A private application folder (the settings file is written there) with the built helpers.
    appFolder_ = env_.root() + QStringLiteral("/app");
    QDir().mkpath(appFolder_);
    QFile::link(QStringLiteral(PAGEMINT_APP_DIR "/data"), appFolder_ + QStringLiteral("/data"));
    setApplicationFolderForTesting(appFolder_);
    prepareApplicationFolder();
    setShellHandlerForTesting([this](const QString &action, const QString &target) {
        opened_ << action + QLatin1Char(' ') + target;
        return shellOpens_;
    });
    engine_ = std::make_unique<frmPrinting>();
    engine_->Form_Load();
}

void EngineFixture::TearDown()
{
    if (engine_ && engine_->mainWindow() != nullptr)
        engine_->mainWindow()->findChild<QTimer *>(QStringLiteral("Timer1"))->stop();
    engine_.reset();
    setShellHandlerForTesting({});
    setApplicationFolderForTesting(QString());
    exitRequested = false;
}

QStringList EngineFixture::entries()
{
    // Read through the view: what the user sees listed.
    const QAbstractItemModel &shown = *List1()->model();
    QStringList result;
    for (int row = 0; row < shown.rowCount(); ++row)
        result << shown.index(row, 0).data().toString();
    return result;
}

void EngineFixture::addEntries(const QStringList &paths)
{
    window().appendEntries(paths);
}

QListView *EngineFixture::List1()
{
    return control<QListView>(window(), QStringLiteral("List1"));
}

void EngineFixture::selectRow(int row)
{
    List1()->setCurrentIndex(List1()->model()->index(row, 0));
}

QLineEdit *EngineFixture::txtPath()
{
    return control<QLineEdit>(engine(), QStringLiteral("txtPath"));
}

QComboBox *EngineFixture::cmbMode()
{
    return control<QComboBox>(engine(), QStringLiteral("cmbMode"));
}

QPushButton *EngineFixture::cmdSave()
{
    return control<QPushButton>(engine(), QStringLiteral("cmdSave"));
}

QPushButton *EngineFixture::cmdBrowse()
{
    return control<QPushButton>(engine(), QStringLiteral("cmdBrowse"));
}

QPushButton *EngineFixture::Command3()
{
    return control<QPushButton>(engine(), QStringLiteral("Command3"));
}

QLineEdit *EngineFixture::txtMsg()
{
    return control<QLineEdit>(engine(), QStringLiteral("txtMsg"));
}

void EngineFixture::finishLoading()
{
    EXPECT_TRUE(waitFor([this] { return window().loadingFinished(); }, 2000));
}

void chooseFile(QWidget *fileDialog, const QString &path)
{
    auto *dialog = qobject_cast<QFileDialog *>(fileDialog);
    if (dialog == nullptr) {
        fileDialog->close();
        return;
    }
    if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        edit->setText(path);
    QMetaObject::invokeMethod(dialog, "accept");
}

void cancelDialog(QWidget *dialog)
{
    if (auto *modal = qobject_cast<QDialog *>(dialog))
        modal->reject();
    else
        dialog->close();
}

} // namespace pagemint::test
