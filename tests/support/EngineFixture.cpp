#include "EngineFixture.h"

#include "Wait.h"

#include "common/ApplicationFolder.h"
#include "app/ConversionMode.h"
#include "common/ExitRequest.h"
#include "imagelist/ImageListCommands.h"
#include "ui/Shell.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>

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
        engine_->mainWindow()->Timer1.stop();
    engine_.reset();
    setShellHandlerForTesting({});
    setApplicationFolderForTesting(QString());
    exitRequested = false;
}

QStringList EngineFixture::entries()
{
    QStringList result;
    for (int i = 0; i < window().List1->count(); ++i)
        result << window().List1->item(i)->text();
    return result;
}

void EngineFixture::addEntries(const QStringList &paths)
{
    appendEntries(window(), paths);
}

void EngineFixture::finishLoading()
{
    EXPECT_TRUE(waitFor([this] { return !window().Timer1.isActive(); }, 2000));
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
