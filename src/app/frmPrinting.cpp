#include "app/frmPrinting.h"

#include "app/ConversionMode.h"
#include "common/ExitRequest.h"
#include "contract/ConverterContract.h"
#include "contract/StagingFolder.h"
#include "conversion/ConversionJob.h"
#include "conversion/DocumentProperties.h"
#include "conversion/Thumbnails.h"
#include "imagelist/ImageList.h"
#include "process/DOSOutputs.h"
#include "process/ProcessFinder.h"
#include "settings/PageLayoutFile.h"
#include "settings/SettingsFile.h"
#include "ui/AddFolderCommand.h"
#include "ui/FolderBrowser.h"
#include "ui/HelpPage.h"
#include "ui/MessageBox.h"
#include "ui/Shell.h"
#include "ui/Skin.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

namespace pagemint {

namespace {
const QString converterName = QString::fromLatin1(kConverterFileName);

template <typename Widget, typename... Args> Widget *hiddenControl(QWidget *parent, const QString &name, Args &&...args)
{
    auto *widget = new Widget(std::forward<Args>(args)..., parent);
    widget->setObjectName(name);
    widget->hide();
    return widget;
}

// The settings window's client area as designed, in twips: the page layout's and the text
// recognition's rows between the mode and 保存设置 make it taller than the 2550 of the two settings
// before them.
constexpr double layoutTopTwips = 1740;
constexpr double textTopTwips = layoutTopTwips + PageLayoutControls::kHeightTwips + 90;
constexpr double saveTopTwips = textTopTwips + TextChoiceControls::kHeightTwips + 300;
constexpr TwipsRect settingsClientTwips{0, 0, 3795, saveTopTwips + 405 + 225};
} // namespace

frmPrinting::frmPrinting()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmPrinting"));
    setWindowTitle(QStringLiteral("转换设置"));
    setFont(QFont(QStringLiteral("Tahoma"), 9));
    setFixedSize(fixedTwipsWindowSize(settingsClientTwips, twipsPerPixel(*this)));
    createSettingsControls();
    createWorkingControls();
    createMenus();
}

frmPrinting::~frmPrinting() = default;

void frmPrinting::createSettingsControls()
{
    Label3 = new QLabel(QStringLiteral("输出路径:"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    txtPath = new QLineEdit(defaultOutputFolder(), this);
    txtPath->setObjectName(QStringLiteral("txtPath"));
    txtPath->setToolTip(QStringLiteral("Select a Folder to Output"));
    cmdBrowse = new QPushButton(QStringLiteral("浏览..."), this);
    cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    cmdBrowse->setToolTip(QStringLiteral("Select an Output Folder"));
    Label1 = new QLabel(QStringLiteral("转换模式:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    cmbMode = new QComboBox(this);
    cmbMode->setObjectName(QStringLiteral("cmbMode"));
    cmbMode->addItems({mergeModeText(), perPictureModeText()});
    cmbMode->setEditable(false);
    cmbMode->setCurrentIndex(-1);
    layoutControls_ = std::make_unique<PageLayoutControls>(this);
    textControls_ = std::make_unique<TextChoiceControls>(this);
    cmdSave = new QPushButton(QStringLiteral("保存设置"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    // Enter and Escape have no window-wide meaning here.
    for (QPushButton *button : {cmdBrowse, cmdSave}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(cmdSave, &QPushButton::clicked, this, &frmPrinting::cmdSave_Click);
    connect(cmdBrowse, &QPushButton::clicked, this, &frmPrinting::cmdBrowse_Click);
    setTabOrder(cmdBrowse, txtPath);
    setTabOrder(txtPath, cmbMode);
    QWidget *previous = cmbMode;
    std::vector<QWidget *> inputs = layoutControls_->inputs();
    for (QWidget *input : textControls_->inputs())
        inputs.push_back(input);
    for (QWidget *input : inputs) {
        setTabOrder(previous, input);
        previous = input;
    }
    setTabOrder(previous, cmdSave);
}

void frmPrinting::createWorkingControls()
{
    txtMsg = hiddenControl<QLineEdit>(this, QStringLiteral("txtMsg"), QStringLiteral("Text1"));
    connect(txtMsg, &QLineEdit::textChanged, this, &frmPrinting::txtMsg_Change);
    const QStringList captions = {QStringLiteral("Add"),    QStringLiteral("Add Folder"), QStringLiteral("Remove"),
                                  QStringLiteral("Clean"),  QStringLiteral("Move Down"),  QStringLiteral("Exit"),
                                  QStringLiteral("Move Up")};
    for (int i = 0; i < 7; ++i) {
        CmdToolsBar[i] = hiddenControl<QPushButton>(this, QStringLiteral("CmdToolsBar%1").arg(i), captions[i]);
        connect(CmdToolsBar[i], &QPushButton::clicked, this, [this, i] { CmdToolsBar_Click(i); });
    }
    Command3 = hiddenControl<QPushButton>(this, QStringLiteral("Command3"), QStringLiteral("Convert To PDF Now"));
    connect(Command3, &QPushButton::clicked, this, &frmPrinting::Command3_Click);
    Command1 = hiddenControl<QPushButton>(this, QStringLiteral("Command1"), QStringLiteral("Now"));
    connect(Command1, &QPushButton::clicked, this, &frmPrinting::Command1_Click);
    txtTitle = hiddenControl<QLineEdit>(this, QStringLiteral("txtTitle"), DocumentDefaults::title());
    txtCreateFor = hiddenControl<QLineEdit>(this, QStringLiteral("txtCreateFor"), DocumentDefaults::author());
    txtSubject = hiddenControl<QLineEdit>(this, QStringLiteral("txtSubject"), DocumentDefaults::subject());
    txtKeywords = hiddenControl<QLineEdit>(this, QStringLiteral("txtKeywords"), QString());
    txtCreationDate = hiddenControl<QLineEdit>(this, QStringLiteral("txtCreationDate"), QString());
    lblJPG = hiddenControl<QLabel>(this, QStringLiteral("lblJPG"), QStringLiteral("Compress Quality:"));
    lblQuality = hiddenControl<QLabel>(this, QStringLiteral("lblQuality"), QStringLiteral("100%"));
    lblQtt = hiddenControl<QLabel>(this, QStringLiteral("lblQtt"), QStringLiteral("Good"));
    lblPB = hiddenControl<QLabel>(this, QStringLiteral("lblPB"), QStringLiteral("0%"));
}

void frmPrinting::createMenus()
{
    auto addItem = [this](QMenu *menu, const QString &name, const QString &caption, auto handler) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    auto addCommand = [this, addItem](QMenu *menu, const QString &name, const QString &caption, int command) {
        return addItem(menu, name, caption, [this, command] { CmdToolsBar_Click(command); });
    };
    menuFile = new QMenu(QStringLiteral("File"), this);
    menuFile->setObjectName(QStringLiteral("menuFile"));
    addCommand(menuFile, QStringLiteral("menuAdd"), QStringLiteral("添加文件"), 0);
    addCommand(menuFile, QStringLiteral("menuFolder"), QStringLiteral("添加文件夹"), 1);
    menuFile->addSeparator()->setObjectName(QStringLiteral("menuS"));
    addItem(menuFile, QStringLiteral("menuExit"), QStringLiteral("退出"), [this] { menuExit_Click(); });

    menuR = new QMenu(QStringLiteral("Remove"), this);
    menuR->setObjectName(QStringLiteral("menuR"));
    addCommand(menuR, QStringLiteral("menuRemove"), QStringLiteral("移除选中文件"), 2);
    addCommand(menuR, QStringLiteral("menuRemoveAll"), QStringLiteral("清空列表"), 3);

    menuContrl = new QMenu(QStringLiteral("Control"), this);
    menuContrl->setObjectName(QStringLiteral("menuContrl"));
    menuUp = addCommand(menuContrl, QStringLiteral("menuUp"), QStringLiteral("上移一行"), 6);
    menuDown = addCommand(menuContrl, QStringLiteral("menuDown"), QStringLiteral("下移一行"), 4);
    menuTurnLeft = addItem(menuContrl, QStringLiteral("menuTurnLeft"), QStringLiteral("向左旋转"),
                           [this] { main_->turnSelectedCommand(-90); });
    menuTurnRight = addItem(menuContrl, QStringLiteral("menuTurnRight"), QStringLiteral("向右旋转"),
                            [this] { main_->turnSelectedCommand(90); });
    menuContrl->addSeparator();
    // The sorts are one set of actions in two menus: the control menu and the list's pop-up.
    menuSortName = addItem(menuContrl, QStringLiteral("menuSortName"), QStringLiteral("按文件名排序"),
                           [this] { main_->imageList().sortByName(); });
    menuSortTaken = addItem(menuContrl, QStringLiteral("menuSortTaken"), QStringLiteral("按拍摄时间排序"),
                            [this] { main_->imageList().sortByTakenTime(); });
    menuReverse = addItem(menuContrl, QStringLiteral("menuReverse"), QStringLiteral("倒序"),
                          [this] { main_->imageList().reverse(); });
    menuContrl->addSeparator();
    menuCancel = addItem(menuContrl, QStringLiteral("menuCancel"), QStringLiteral("取消转换"), [this] { cancelJob(); });
    menuCancel->setEnabled(false);

    menuList = new QMenu(QStringLiteral("List"), this);
    menuList->setObjectName(QStringLiteral("menuList"));
    menuList->addActions({menuTurnLeft, menuTurnRight});
    menuList->addSeparator();
    menuList->addActions({menuSortName, menuSortTaken, menuReverse});

    menuA = new QMenu(QStringLiteral("关于"), this);
    menuA->setObjectName(QStringLiteral("menuA"));
    addItem(menuA, QStringLiteral("menuWeb"), QStringLiteral("访问网站"), [this] { menuWeb_Click(); });
    menuA->addSeparator()->setObjectName(QStringLiteral("menuSS"));
    addItem(menuA, QStringLiteral("menuAbout"), QStringLiteral("关于"), [this] { menuAbout_Click(); });
}

std::vector<ControlPlacement> frmPrinting::designedLayout()
{
    std::vector<ControlPlacement> layout = {
        {Label3, {180, 270, 780, 210}, 9},     {txtPath, {180, 540, 2655, 285}, 9},
        {cmdBrowse, {2910, 540, 735, 300}, 9}, {Label1, {180, 1020, 780, 210}, 9},
        {cmbMode, {180, 1290, 3435, 330}, 9},  {cmdSave, {1080, saveTopTwips, 1365, 405}, 9},
    };
    for (const ControlPlacement &placement : layoutControls_->designedLayout(layoutTopTwips))
        layout.push_back(placement);
    for (const ControlPlacement &placement : textControls_->designedLayout(textTopTwips))
        layout.push_back(placement);
    return layout;
}

void frmPrinting::Form_Load()
{
    hide();
    exitRequested = false;
    KillProcessByName(converterName);
    SkinH_Attach();
    QApplication::processEvents();
    objShell_ = std::make_unique<DOSOutputs>();
    objDOS_ = std::make_unique<DOSOutputs>();
    for (DOSOutputs *runner : {objShell_.get(), objDOS_.get()})
        connect(runner, &DOSOutputs::Failed, this, &frmPrinting::showRunnerFailure);
    connect(objDOS_.get(), &DOSOutputs::ReceiveOutputs, this, &frmPrinting::objDOS_ReceiveOutputs);
    connect(objDOS_.get(), &DOSOutputs::CommandOver, this, &frmPrinting::objDOS_CommandOver);
    dialogs_.Init(this);
    loadSettings();
    txtCreationDate->setText(creationDateText(QDateTime::currentDateTime()));
    main_ = std::make_unique<frmMain>(*this);
    thumbnails_ = std::make_unique<Thumbnails>();
    connect(main_.get(), &frmMain::thumbnailWanted, thumbnails_.get(), &Thumbnails::request);
    connect(thumbnails_.get(), &Thumbnails::made, main_.get(), &frmMain::showThumbnail);
    main_->Form_Load();
    main_->show();
    QApplication::processEvents();
    update();
    std::vector<ControlPlacement> layout = designedLayout();
    applyRescaling(layout, twipsPerPixel(*this));
}

void frmPrinting::loadSettings()
{
    const StoredSettings stored = readSettingsFile(settingsFilePath());
    if (!stored.found) {
        txtPath->setText(defaultOutputFolder());
        cmbMode->setCurrentIndex(0);
    } else {
        // What could be read is taken; the rest keeps its design value.
        if (stored.outputFolder)
            txtPath->setText(*stored.outputFolder);
        if (stored.modeIndex)
            cmbMode->setCurrentIndex(*stored.modeIndex);
    }
    OnePdfPerPicture = onePdfPerPictureFor(cmbMode->currentIndex());
    layoutControls_->show(readPageLayoutFile(pageLayoutFilePath()));
    textControls_->show(readTextChoiceFile(pageLayoutFilePath()));
    keepAppliedSettings();
}

void frmPrinting::cmdSave_Click()
{
    OnePdfPerPicture = onePdfPerPictureFor(cmbMode->currentIndex());
    writeSettingsFile(settingsFilePath(), txtPath->text(), cmbMode->currentIndex());
    writePagemintIni(pageLayoutFilePath(), layoutControls_->chosen(), textControls_->chosen());
    keepAppliedSettings();
    hide();
}

void frmPrinting::keepAppliedSettings()
{
    appliedFolder_ = txtPath->text();
    appliedMode_ = cmbMode->currentIndex();
    appliedLayout_ = layoutControls_->chosen();
    appliedText_ = textControls_->chosen();
}

void frmPrinting::showAppliedSettings()
{
    txtPath->setText(appliedFolder_);
    cmbMode->setCurrentIndex(appliedMode_);
    layoutControls_->show(appliedLayout_);
    textControls_->show(appliedText_);
}

void frmPrinting::cmdBrowse_Click()
{
    // A cancelled browse keeps the folder shown before.
    const QString folder = browseForFolder(this, QStringLiteral("请选择一个文件夹:"));
    if (!folder.isEmpty())
        txtPath->setText(folder);
}

void frmPrinting::Unload()
{
    if (!unloaded_)
        close();
}

void frmPrinting::closeEvent(QCloseEvent *event)
{
    hide();
    if (!exitRequested) {
        // Closed without saving: the edits are dropped, so the next showing and every job see the
        // settings in force, never a folder typed and abandoned.
        showAppliedSettings();
        event->ignore();
        return;
    }
    KillProcessByName(converterName);
    unloaded_ = true;
    // However the program is ended (exit zone, window close, a termination signal), nothing it
    // staged outlives it: the pages are moved out of the way at once, and removed once the windows
    // are gone (main), without holding up the end; what is left then goes at the next start.
    setStagingFolderAside();
    event->accept();
    Q_EMIT unloaded();
}

void frmPrinting::keyPressEvent(QKeyEvent *event)
{
    // Escape does not close the settings window; during a job it cancels the job.
    if (event->key() == Qt::Key_Escape) {
        cancelJob();
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmPrinting::CmdToolsBar_Click(int Index)
{
    QApplication::processEvents();
    frmMain &window = *main_;
    switch (Index) {
    case 0:
        window.addFileCommand(dialogs_);
        break;
    case 1:
        AddImagesFromFolder(window, this);
        break;
    case 2:
        window.removeSelectedCommand();
        break;
    case 3:
        window.clearListCommand();
        break;
    case 4:
        window.moveSelected(MoveDirection::Down);
        break;
    case 5:
        Unload();
        break;
    case 6:
        window.moveSelected(MoveDirection::Up);
        break;
    default:
        break;
    }
}

void frmPrinting::cancelJob()
{
    if (job_ != nullptr)
        job_->cancel();
}

void frmPrinting::postCommandWord(const QString &word)
{
    txtMsg->setText(word);
}

QMenu *frmPrinting::menuOfZone(int Index) const
{
    QMenu *const menus[] = {menuFile, menuR, menuContrl, menuA};
    return Index >= 0 && Index < 4 ? menus[Index] : nullptr;
}

QMenu *frmPrinting::listMenu() const
{
    return menuList;
}

void frmPrinting::showSettingsWindow()
{
    exec();
}

void frmPrinting::txtMsg_Change()
{
    if (txtMsg->text() == QStringLiteral("Add"))
        CmdToolsBar_Click(0);
    if (txtMsg->text() == QStringLiteral("Remove"))
        menuR->exec(QCursor::pos());
    if (txtMsg->text() == QStringLiteral("Add Folder"))
        CmdToolsBar_Click(1);
    if (txtMsg->text() == QStringLiteral("Convert"))
        Command3_Click();
    txtMsg->setText(QString());
}

void frmPrinting::Command3_Click()
{
    ConversionInputs inputs;
    inputs.pictures = main_->imageList().entries();
    inputs.turns = main_->imageList().turns();
    inputs.outputFolderText = txtPath->text();
    inputs.title = txtTitle->text();
    inputs.onePdfPerPicture = OnePdfPerPicture;
    inputs.layout = appliedLayout_;
    inputs.text = appliedText_;
    ConversionJob job(std::move(inputs), *this, {*objShell_, *objDOS_});
    job_ = &job;
    job.run();
    job_ = nullptr;
}

void frmPrinting::objDOS_ReceiveOutputs(const QString &CommandOutputs)
{
    if (job_ != nullptr)
        job_->converterOutput(CommandOutputs);
}

void frmPrinting::objDOS_CommandOver()
{
    if (job_ != nullptr)
        job_->converterOver();
}

void frmPrinting::showRunnerFailure(const QString &message)
{
    ShowMessage(this, message, applicationTitle(), QMessageBox::Critical, QMessageBox::Ok);
}

void frmPrinting::enableCommands(bool enabled)
{
    for (QPushButton *button : CmdToolsBar)
        button->setEnabled(enabled);
    main_->setCommandsEnabled(enabled);
    main_->showFilename(enabled);
    for (QAction *action : {menuUp, menuDown, menuTurnLeft, menuTurnRight, menuSortName, menuSortTaken, menuReverse})
        action->setEnabled(enabled);
    menuCancel->setEnabled(!enabled);
    if (!enabled)
        main_->keepControlMenuReachable();
}

void frmPrinting::enableConvertCommand(bool enabled)
{
    Command3->setEnabled(enabled);
}

void frmPrinting::showOutputFolder(const QString &folder)
{
    txtPath->setText(folder);
}

void frmPrinting::showProgressBar(bool shown)
{
    main_->showProgressBar(shown);
}

void frmPrinting::showStatus(const QString &text)
{
    lblPB->setText(text);
    main_->setProgressText(text);
}

void frmPrinting::showProgressText(const QString &text)
{
    main_->setProgressText(text);
}

void frmPrinting::showFill(double fraction)
{
    main_->setFillTwips(main_->barTwips() * fraction);
}

bool frmPrinting::askToOverwrite(const QString &question)
{
    return ShowMessage(this, question, QStringLiteral("覆盖"), QMessageBox::NoIcon,
                       QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void frmPrinting::tell(const QString &text, const QString &caption, Tone tone, const QString &details)
{
    const QMessageBox::Icon icon = tone == Tone::Warning       ? QMessageBox::Warning
                                   : tone == Tone::Information ? QMessageBox::Information
                                                               : QMessageBox::NoIcon;
    ShowMessage(this, text, caption, icon, QMessageBox::Ok, details);
}

bool frmPrinting::openFolder(const QString &folder)
{
    return openWithShell(folder);
}

void frmPrinting::beep()
{
    systemBeep();
}

void frmPrinting::handleEvents()
{
    QApplication::processEvents();
}

void frmPrinting::Command1_Click()
{
    txtCreationDate->setText(creationDateText(QDateTime::currentDateTime()));
}

void frmPrinting::menuAbout_Click()
{
    ShowMessage(this, QStringLiteral("Pagemint %1 — 图片转换PDF工具").arg(QStringLiteral(PAGEMINT_VERSION)),
                QStringLiteral("关于"), QMessageBox::NoIcon);
}

void frmPrinting::menuExit_Click()
{
    main_->imgExit_Click();
}

void frmPrinting::menuWeb_Click()
{
    openHelpPage(this);
}

} // namespace pagemint
