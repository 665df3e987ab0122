#pragma once
// Starts the real windows offscreen, as the program does, in a private home folder.
#include "Controls.h"
#include "TestEnvironment.h"

#include "app/frmPrinting.h"
#include "ui/frmMain.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <memory>

class QComboBox;
class QLineEdit;
class QListView;
class QPushButton;
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
    // The main window's list view, and a click on one of its rows.
    QListView *List1();
    void selectRow(int row);
    // Controls of the engine window that many tests use.
    QLineEdit *txtPath();
    QComboBox *cmbMode();
    QPushButton *cmdSave();
    QPushButton *cmdBrowse();
    QPushButton *Command3();
    QLineEdit *txtMsg();
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
