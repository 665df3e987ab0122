#pragma once

#include "app/PageLayoutControls.h"
#include "app/TextChoiceControls.h"
#include "conversion/ConversionView.h"
#include "ui/CCommonDialogs.h"
#include "ui/MainWindowEngine.h"
#include "ui/TwipsLayout.h"

#include <QDialog>

#include <array>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace pagemint {

class ConversionJob;
class DOSOutputs;
class frmMain;
class Thumbnails;

// The engine window: loaded first and kept hidden, it owns the commands, the conversion and the
// menus, and doubles as the conversion-settings window. Closing it only hides it until the user
// ends the program. It shows a running job on the main window.
class frmPrinting : public QDialog, public MainWindowEngine, private ConversionView {
    Q_OBJECT
public:
    frmPrinting();
    ~frmPrinting() override;

    // Start-up: ends a leftover converter, loads the settings, shows the main window.
    void Form_Load();
    // Asks the window to unload; it only hides unless the program is exiting.
    void Unload() override;
    bool isUnloaded() const { return unloaded_; }
    // Esc in either window, or 取消转换 in the control menu: the running job stops and leaves
    // nothing behind; the list stays.
    void cancelJob() override;

    void CmdToolsBar_Click(int Index);
    // Runs a conversion of the image list.
    void Command3_Click();
    void objDOS_ReceiveOutputs(const QString &CommandOutputs);
    void objDOS_CommandOver();
    void txtMsg_Change();
    void Command1_Click();
    // Settings window: save (and hide), choose the output folder.
    void cmdSave_Click();
    void cmdBrowse_Click();
    void menuAbout_Click();
    // Opens the help page installed with the program.
    void menuWeb_Click();
    // 退出 in the file menu ends the program, as the exit zone does.
    void menuExit_Click();

    frmMain *mainWindow() const { return main_.get(); }
    // Runners of the converter: objDOS for a merged document (its events drive the progress bar),
    // objShell for one PDF per picture.
    DOSOutputs &objShell() { return *objShell_; }
    DOSOutputs &objDOS() { return *objDOS_; }
    CCommonDialogs &dialogs() { return dialogs_; }

    // The main window's command words (Add, Remove, Add Folder, Convert) go through the hidden
    // command box, whose change runs them (txtMsg_Change).
    void postCommandWord(const QString &word) override;
    // The menu a zone of the main window opens: 0 file, 1 remove, 2 control, 3 about.
    QMenu *menuOfZone(int Index) const override;
    // The list's pop-up: the sorts of the control menu.
    QMenu *listMenu() const override;
    // The toolbar's settings zone: the settings window, modal.
    void showSettingsWindow() override;

Q_SIGNALS:
    // The program may end: both windows are gone.
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createSettingsControls();
    void createWorkingControls();
    void createMenus();
    void loadSettings();
    // The settings in force are what was loaded or last saved; closing without saving shows them
    // again.
    void keepAppliedSettings();
    void showAppliedSettings();
    std::vector<ControlPlacement> designedLayout();
    // A runner could not start the converter.
    void showRunnerFailure(const QString &message);

    // What a running job shows and asks (ConversionView).
    void enableCommands(bool enabled) override;
    void enableConvertCommand(bool enabled) override;
    void showOutputFolder(const QString &folder) override;
    void showProgressBar(bool shown) override;
    void showStatus(const QString &text) override;
    void showProgressText(const QString &text) override;
    void showFill(double fraction) override;
    bool askToOverwrite(const QString &question) override;
    void tell(const QString &text, const QString &caption, Tone tone, const QString &details) override;
    bool openFolder(const QString &folder) override;
    void beep() override;
    void handleEvents() override;

    // Controls, named as the rest of the program knows them, each with its name as object name.
    // Visible controls of the settings window.
    QLabel *Label3 = nullptr;
    QLineEdit *txtPath = nullptr;
    QPushButton *cmdBrowse = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *cmbMode = nullptr;
    std::unique_ptr<PageLayoutControls> layoutControls_;
    std::unique_ptr<TextChoiceControls> textControls_;
    QPushButton *cmdSave = nullptr;

    // Working controls that lie outside the visible area.
    QLineEdit *txtMsg = nullptr;
    std::array<QPushButton *, 7> CmdToolsBar{};
    QPushButton *Command3 = nullptr;
    QPushButton *Command1 = nullptr;
    QLineEdit *txtTitle = nullptr;
    QLineEdit *txtCreateFor = nullptr;
    QLineEdit *txtSubject = nullptr;
    QLineEdit *txtKeywords = nullptr;
    QLineEdit *txtCreationDate = nullptr;
    QLabel *lblJPG = nullptr;
    QLabel *lblQuality = nullptr;
    QLabel *lblQtt = nullptr;
    QLabel *lblPB = nullptr;

    // Pop-up menus opened by the main window.
    QMenu *menuFile = nullptr;
    QMenu *menuR = nullptr;
    QMenu *menuContrl = nullptr;
    QMenu *menuA = nullptr;
    QMenu *menuList = nullptr;
    // The control menu's items: moving and sorting entries are held while a job runs, cancelling
    // it only then.
    QAction *menuUp = nullptr;
    QAction *menuDown = nullptr;
    QAction *menuTurnLeft = nullptr;
    QAction *menuTurnRight = nullptr;
    QAction *menuSortName = nullptr;
    QAction *menuSortTaken = nullptr;
    QAction *menuReverse = nullptr;
    QAction *menuCancel = nullptr;

    CCommonDialogs dialogs_;
    std::unique_ptr<DOSOutputs> objShell_;
    std::unique_ptr<DOSOutputs> objDOS_;
    // The job in progress, which the merged runner's events are handed to.
    ConversionJob *job_ = nullptr;
    std::unique_ptr<frmMain> main_;
    // Thumbnails for the main window's list, made while the program runs.
    std::unique_ptr<Thumbnails> thumbnails_;
    bool unloaded_ = false;
    QString appliedFolder_;
    int appliedMode_ = -1;
    PageLayout appliedLayout_;
    TextChoice appliedText_;
};

} // namespace pagemint
