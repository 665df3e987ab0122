#pragma once
// Starts the real windows offscreen, as the program does, in a private home folder.
#include "TestEnvironment.h"

#include "app/frmPrinting.h"
#include "ui/frmMain.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <memory>

class QWidget;

namespace pagemint::test {

class EngineFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    frmPrinting &engine() { return *engine_; }
    frmMain &window() { return *engine_->mainWindow(); }
    // Entries of the image list, in order.
    QStringList entries();
    void addEntries(const QStringList &paths);
    // Lets the one-shot step after loading run.
    void finishLoading();
    // Runs before the windows load: a test may put a settings file into appFolder_ here.
    virtual void prepareApplicationFolder() {}

    TestEnvironment env_;
    QString appFolder_;
    std::unique_ptr<frmPrinting> engine_;
    QStringList opened_;
    bool shellOpens_ = true; // false: the desktop has no program to open a folder with
};

// Chooses `path` in an open QFileDialog as a user typing it would.
void chooseFile(QWidget *fileDialog, const QString &path);
// Cancels any dialog.
void cancelDialog(QWidget *dialog);

} // namespace pagemint::test
