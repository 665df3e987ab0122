#include "conversion/ConversionJob.h"

#include "common/ApplicationFolder.h"
#include "app/ConversionMode.h"
#include "common/ExitRequest.h"
#include "contract/ConverterContract.h"
#include "app/frmPrinting.h"
#include "conversion/Delivery.h"
#include "conversion/DeleteFolderTree.h"
#include "conversion/DeliveryTemporary.h"
#include "conversion/EndReport.h"
#include "conversion/PathFunctions.h"
#include "conversion/ConversionRules.h"
#include "conversion/OutputFolder.h"
#include "conversion/StagePage.h"
#include "contract/StagingFolder.h"
#include "conversion/StagingPaths.h"
#include "process/DOSOutputs.h"
#include "process/ProcessFinder.h"
#include "ui/MessageBox.h"
#include "ui/Shell.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <filesystem>

namespace pagemint {

namespace {
const QString converterName = QString::fromLatin1(kConverterFileName);

void pump()
{
    QApplication::processEvents();
}
} // namespace

ConversionJob::ConversionJob(frmPrinting &engine) : engine_(engine), window_(*engine.mainWindow()) {}

void ConversionJob::run()
{
    KillProcessByName(converterName);
    if (refuseEmptyList() || refuseMissingOutputFolder())
        return;
    setControlsUsable(false);
    stripTrailingSeparator();
    if (refuseUnusableOutputFolder() || declineOverwrite()) {
        setControlsUsable(true);
        return;
    }
    prepareFolders();
    stageAll();
    if (abandoned())
        return;
    if (!OnePdfPerPicture)
        convertMerged();
    if (abandoned())
        return;
    finish();
}

bool ConversionJob::refuseUnusableOutputFolder()
{
    const QString problem = outputFolderProblem(outputFolder_);
    if (problem.isEmpty())
        return false;
    ShowMessage(&engine_, QStringLiteral("无法写入输出文件夹：\n%1\n%2").arg(outputFolder_, problem),
                QStringLiteral("输出路径"), QMessageBox::Warning);
    return true;
}

bool ConversionJob::refuseEmptyList()
{
    if (window_.List1->count() > 0)
        return false;
    ShowMessage(&engine_, QStringLiteral("请添加一个文件"), QStringLiteral("添加"), QMessageBox::Warning);
    return true;
}

bool ConversionJob::refuseMissingOutputFolder()
{
    // An empty folder text would put the PDFs at the root of the file system.
    if (!outputFolderOf(engine_.txtPath->text()).trimmed().isEmpty())
        return false;
    ShowMessage(&engine_, QStringLiteral("输出路径为空，请在转换设置中选择输出文件夹。"), QStringLiteral("输出路径"),
                QMessageBox::Warning);
    return true;
}

void ConversionJob::setControlsUsable(bool usable, bool withCommand3)
{
    if (withCommand3)
        engine_.Command3->setEnabled(usable);
    for (QPushButton *button : engine_.CmdToolsBar)
        button->setEnabled(usable);
    window_.setCommandsEnabled(usable);
    window_.lblFilename->setVisible(usable);
}

void ConversionJob::stripTrailingSeparator()
{
    outputFolder_ = outputFolderOf(engine_.txtPath->text());
    if (outputFolder_ != engine_.txtPath->text())
        engine_.txtPath->setText(outputFolder_);
}

bool ConversionJob::declineOverwrite()
{
    const QString named = outputFolder_ + QDir::separator() + engine_.txtTitle->text() + QStringLiteral(".pdf");
    if (!visibleFileExists(named))
        return false;
    return ShowMessage(&engine_, QStringLiteral("输出文件已经存在。是否覆盖？"), QStringLiteral("覆盖"),
                       QMessageBox::NoIcon, QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok;
}

void ConversionJob::prepareFolders()
{
    // The output folder was made when it was checked; a copy killed in an earlier job may have
    // left its temporary file there.
    removeStrandedDeliveryTemporaries(toFsPath(outputFolder_));
    std::error_code error;
    createStagingFolder(error);
    window_.PicPB->show();
    window_.lblPB->show();
    pump();
    window_.setProgressText(QStringLiteral("准备文件中..."));
}

void ConversionJob::stageAll()
{
    const int n = window_.List1->count();
    for (int i = 0; i < n; ++i)
        entries_ << window_.List1->item(i)->text();
    for (int i = 0; i < n && !abandoned(); ++i) {
        const StageResult staged = StagePage(i, entries_[i]);
        if (!staged.staged)
            noteLeftOut(i, staged.reason);
        pump();
        if (abandoned())
            return;
        if (OnePdfPerPicture) {
            if (!convertOnePicture(i, entries_[i])) {
                // The runner has said why once; the other pictures would only repeat it.
                for (int rest = i; rest < n; ++rest)
                    noteLeftOut(rest, QStringLiteral("the converter could not be started"));
                return;
            }
        } else {
            showProgress(QStringLiteral("Converting Files...%1%").arg(stagingPercent(i, n)), i);
            pump();
        }
    }
}

bool ConversionJob::convertOnePicture(int index, const QString &entry)
{
    DOSOutputs &runner = engine_.objShell();
    runner.setCommandLine(converterCommandLine(applicationFolder()));
    const QString output = runner.ExecuteCommand(QString());
    if (abandoned())
        return true;
    if (!runner.lastRunStarted())
        return false;
    for (const auto &[page, reason] : leftOutPagesOf(output))
        noteLeftOut(page, reason);
    const QString name = pdfNames_.nameFor(entry);
    if (deliverFile(stagingFilePath(kConverterOutputName), outputFolder_ + QDir::separator() + name)) {
        ++delivered_;
        pdfNames_.written(name);
        if (name != GetBaseName(entry) + QStringLiteral(".pdf"))
            renamed_.emplace(index, name);
    } else {
        noteLeftOut(index, QStringLiteral("no PDF was written"));
    }
    showProgress(QStringLiteral("正在转换...%1%").arg(stagingPercent(index, entries_.size())), index);
    pump();
    // By the file system's own bytes: Qt's file classes would re-encode a home folder whose name
    // is not UTF-8, and a page left behind would go into the next picture's PDF.
    std::error_code ignored;
    for (const std::filesystem::path &file :
         {stagedPagePath(index), stagingFolder() / kConverterOutputName, stagingFolder() / kSpareConverterOutputName})
        std::filesystem::remove(file, ignored);
    pump();
    return true;
}

void ConversionJob::showStatus(const QString &text)
{
    // The engine's own label takes the text first; the main window shows a copy.
    engine_.lblPB->setText(text);
    window_.setProgressText(engine_.lblPB->text());
}

void ConversionJob::showProgress(const QString &text, int index)
{
    showStatus(text);
    const int n = static_cast<int>(entries_.size());
    window_.setFillTwips(n <= 1 ? window_.barTwips() : window_.barTwips() * index / (n - 1));
}

void ConversionJob::convertMerged()
{
    showStatus(QStringLiteral("创建文件中..."));
    window_.setFillTwips(1);
    engine_.clearLastDelivery();
    const QString output = engine_.objDOS().ExecuteCommand(converterCommandLine(applicationFolder()));
    for (const auto &[page, reason] : leftOutPagesOf(output))
        noteLeftOut(page, reason);
    if (!engine_.lastDelivery().isEmpty())
        ++delivered_;
}

void ConversionJob::finish()
{
    engine_.Command3->setEnabled(true);
    // An empty folder is not worth a window; a folder that cannot be shown is named instead.
    const bool folderShown = delivered_ > 0 && openWithShell(engine_.txtPath->text());
    systemBeep();
    setControlsUsable(true, false);
    window_.setProgressText(QStringLiteral("正在删除临时文件..."));
    pump();
    DeleteFolderTree(fromFsPath(stagingFolder()));
    window_.setProgressText(QStringLiteral("完成."));
    window_.PicPB->hide();
    window_.lblPB->hide();
    window_.setFillTwips(0);
    reportShortfall();
    if (delivered_ > 0 && !folderShown)
        ShowMessage(&engine_, QStringLiteral("PDF文件已保存在：\n%1").arg(engine_.txtPath->text()), QStringLiteral("转换"),
                    QMessageBox::Information);
}

void ConversionJob::reportShortfall()
{
    std::vector<ReportEntry> leftOut;
    for (const auto &[index, reason] : leftOut_)
        leftOut.push_back({entries_.value(index), QStringLiteral(" (%1)").arg(reason)});
    std::vector<ReportEntry> renamed;
    for (const auto &[index, name] : renamed_)
        renamed.push_back({entries_.value(index), QStringLiteral(" -> ") + name});
    const EndReport report = endReportOf(leftOut, renamed, delivered_ == 0);
    if (report.text.isEmpty())
        return;
    ShowMessage(&engine_, report.text, QStringLiteral("转换"),
                report.warning ? QMessageBox::Warning : QMessageBox::Information, QMessageBox::Ok, report.details);
}

bool ConversionJob::abandoned()
{
    if (!exitRequested)
        return false;
    if (!abandoned_) {
        // The program is ending and its windows are going away: only the staging folder is cleared.
        abandoned_ = true;
        KillProcessByName(converterName);
        DeleteFolderTree(fromFsPath(stagingFolder()));
    }
    return true;
}

void ConversionJob::noteLeftOut(int index, const QString &reason)
{
    if (index >= 0 && index < entries_.size())
        leftOut_.emplace(index, reason);
}

} // namespace pagemint
