#include "conversion/ConversionJob.h"

#include "common/ApplicationFolder.h"
#include "common/ExitRequest.h"
#include "contract/ConverterContract.h"
#include "contract/PageReference.h"
#include "contract/PageText.h"
#include "contract/Reasons.h"
#include "contract/StagingFolder.h"
#include "conversion/ConversionLog.h"
#include "conversion/ConversionRules.h"
#include "conversion/Delivery.h"
#include "conversion/DeliveryTemporary.h"
#include "conversion/EndReport.h"
#include "conversion/OutputFolder.h"
#include "conversion/OverwriteQuestion.h"
#include "conversion/PageRecognition.h"
#include "conversion/PageStaging.h"
#include "conversion/PathFunctions.h"
#include "conversion/ReasonWords.h"
#include "conversion/StagingPaths.h"
#include "process/DOSOutputs.h"
#include "process/ProcessFinder.h"

#include <QCoreApplication>
#include <QDir>

#include <filesystem>
#include <memory>

namespace pagemint {

namespace {
const QString converterName = QString::fromLatin1(kConverterFileName);

// Clearing the staging folder keeps the windows responsive; what will not go is logged. An exit
// meanwhile stops it: the end of the program removes the rest without holding it up.
TreeRemoval stagingClearing()
{
    return {[] {
                QCoreApplication::processEvents();
                return !exitRequested;
            },
            [](const std::filesystem::path &entry, const std::error_code &error) {
                qCWarning(lcConversion, "%s not removed: %s", entry.c_str(), error.message().c_str());
            }};
}
} // namespace

ConversionJob::ConversionJob(ConversionInputs inputs, ConversionView &view, ConverterRunners runners)
    : inputs_(std::move(inputs)), view_(view), runners_(runners),
      converterProgress_(static_cast<int>(inputs_.pictures.size()))
{
}

void ConversionJob::run()
{
    jobCancelRequested = false;
    endStrayConverters();
    if (refuseEmptyList() || refuseMissingOutputFolder())
        return;
    enableAllCommands(false);
    outputFolder_ = outputFolderOf(inputs_.outputFolderText);
    if (outputFolder_ != inputs_.outputFolderText)
        view_.showOutputFolder(outputFolder_);
    if (refuseUnusableOutputFolder() || declineOverwrite()) {
        enableAllCommands(true);
        return;
    }
    cancellable_ = true;
    if (!prepareFolders()) {
        cancellable_ = false;
        if (!abandoned())
            enableAllCommands(true);
        return;
    }
    stageAll();
    if (!stopped() && !inputs_.onePdfPerPicture)
        convertMerged();
    if (abandoned())
        return;
    if (jobCancelRequested) {
        windUpCancelled();
        return;
    }
    cancellable_ = false;
    finish();
}

bool ConversionJob::refuseEmptyList()
{
    if (!inputs_.pictures.isEmpty())
        return false;
    view_.tell(QStringLiteral("请添加一个文件"), QStringLiteral("添加"), ConversionView::Tone::Warning);
    return true;
}

bool ConversionJob::refuseMissingOutputFolder()
{
    // An empty folder text would put the PDFs at the root of the file system.
    if (!outputFolderOf(inputs_.outputFolderText).trimmed().isEmpty())
        return false;
    view_.tell(QStringLiteral("输出路径为空，请在转换设置中选择输出文件夹。"), QStringLiteral("输出路径"),
               ConversionView::Tone::Warning);
    return true;
}

bool ConversionJob::refuseUnusableOutputFolder()
{
    const QString problem = outputFolderProblem(outputFolder_);
    if (problem.isEmpty())
        return false;
    view_.tell(QStringLiteral("无法写入输出文件夹：\n%1\n%2").arg(outputFolder_, problem), QStringLiteral("输出路径"),
               ConversionView::Tone::Warning);
    return true;
}

void ConversionJob::enableAllCommands(bool enabled)
{
    view_.enableConvertCommand(enabled);
    view_.enableCommands(enabled);
}

bool ConversionJob::declineOverwrite()
{
    // Told beforehand what becomes of them: nothing to ask.
    if (inputs_.existingPdfs != ConversionInputs::ExistingPdfs::Ask)
        return false;
    // One question per job: PDFs of earlier runs the pictures would replace come first; the
    // document's own name is asked about only when none would be replaced.
    if (inputs_.onePdfPerPicture) {
        const QStringList existing = existingPerPicturePdfs(inputs_.pictures, [this](const QString &name) {
            return pdfWouldReplace(outputFolder_ + QDir::separator() + name);
        });
        if (!existing.isEmpty())
            return !view_.askToOverwrite(perPictureOverwriteQuestion(existing));
    }
    const QString named = outputFolder_ + QDir::separator() + inputs_.title + QStringLiteral(".pdf");
    return visibleFileExists(named) && !view_.askToOverwrite(documentOverwriteQuestion());
}

bool ConversionJob::prepareFolders()
{
    // The output folder was made when it was checked; a copy killed in an earlier job may have
    // left its temporary file there (beside other jobs, it may be one of theirs still copying).
    if (inputs_.soleJob)
        removeStrandedDeliveryTemporaries(toFsPath(outputFolder_));
    // Whatever an earlier run left there would go into this job's PDF; a folder that cannot be made
    // or cleared stops the job before anything is staged.
    if (std::error_code error; !emptyStagingFolder(error, stagingClearing())) {
        if (abandoned())
            return false;
        view_.tell(QStringLiteral("无法清空临时文件夹，转换没有开始：\n%1\n%2")
                       .arg(fromFsPath(stagingFolder()), QString::fromLocal8Bit(error.message())),
                   QStringLiteral("转换"), ConversionView::Tone::Warning);
        return false;
    }
    view_.showProgressBar(true);
    view_.handleEvents();
    view_.showProgressText(QStringLiteral("准备文件中..."));
    return true;
}

void ConversionJob::stageAll()
{
    const QStringList &entries = inputs_.pictures;
    const int n = static_cast<int>(entries.size());
    // One recogniser per core beside the decoders, each page's text started as soon as its page
    // is staged; outlives the staging that tells it of the pages.
    std::unique_ptr<PageRecognition> recognition;
    if (inputs_.text.any())
        recognition = std::make_unique<PageRecognition>(inputs_.text, PageStaging::defaultWidth(), inputs_.turns);
    // One decoder per core; outcomes come back in list order, as picture by picture.
    PageStaging staging(entries);
    if (recognition)
        staging.setOnStaged([&recognition](int index, const std::optional<PageReference> &reference) {
            recognition->staged(index, reference);
        });
    for (int i = 0; i < n && !stopped(); ++i) {
        const StageResult staged = staging.next();
        if (!staged.staged)
            noteLeftOut(i, staged.reason);
        view_.handleEvents();
        if (stopped())
            return;
        if (inputs_.onePdfPerPicture) {
            awaitText(recognition.get(), i);
            if (stopped())
                return;
            if (!convertOnePicture(i, entries[i])) {
                // The runner has said why once; the other pictures would only repeat it.
                for (int rest = i; rest < n; ++rest)
                    noteLeftOut(rest, reasonWords(reason::kConverterNotStarted));
                return;
            }
        } else {
            showProgress(QStringLiteral("Converting Files...%1%").arg(stagingPercent(i, n)), i);
            view_.handleEvents();
        }
        if (!stopped())
            view_.pictureDone(i, n);
    }
    // The merged document's pages are all staged: their texts must be whole before pdf.exe runs.
    if (!inputs_.onePdfPerPicture)
        for (int i = 0; i < n && !stopped(); ++i)
            awaitText(recognition.get(), i);
}

void ConversionJob::awaitText(PageRecognition *recognition, int index)
{
    if (recognition == nullptr)
        return;
    const int n = static_cast<int>(inputs_.pictures.size());
    const std::optional<QString> failure = recognition->awaitText(
        index, [this, index, n] { showProgress(QStringLiteral("识别文字... %1/%2").arg(index + 1).arg(n), index); });
    if (failure && !stopped())
        textless_.emplace(index, *failure);
}

bool ConversionJob::convertOnePicture(int index, const QString &entry)
{
    DOSOutputs &runner = runners_.perPicture;
    runner.setCommandLine(converterLine(pageTurns(index)));
    const QString output = runner.ExecuteCommand(QString());
    if (stopped())
        return true;
    if (!runner.lastRunStarted())
        return false;
    for (const auto &[page, reason] : leftOutPagesOf(output))
        noteLeftOut(page, reason);
    const QString target =
        deliver([this, &entry] { return outputFolder_ + QDir::separator() + pdfNames_.nameFor(entry, nameInUse()); });
    if (!target.isEmpty()) {
        const QString name = GetFileName(target);
        pdfNames_.written(name);
        if (name != GetBaseName(entry) + QStringLiteral(".pdf"))
            renamed_.emplace(index, name);
    } else {
        noteLeftOut(index, reasonWords(reason::kNoPdfWritten));
    }
    showProgress(QStringLiteral("正在转换...%1%").arg(stagingPercent(index, static_cast<int>(inputs_.pictures.size()))),
                 index);
    view_.handleEvents();
    // By the file system's own bytes: Qt's file classes would re-encode a home folder whose name
    // is not UTF-8, and a page left behind would go into the next picture's PDF.
    for (const std::filesystem::path &file :
         {stagedPagePath(index), stagingFolder() / stagedTextName(index), stagingFolder() / kPageReferencesName,
          stagingFolder() / kConverterOutputName, stagingFolder() / kSpareConverterOutputName}) {
        if (std::error_code error; !std::filesystem::remove(file, error) && error)
            qCWarning(lcConversion, "staged file %s not removed: %s", file.c_str(), error.message().c_str());
    }
    view_.handleEvents();
    return true;
}

std::map<int, int> ConversionJob::pageTurns(int only) const
{
    std::map<int, int> turns;
    for (int i = 0; i < static_cast<int>(inputs_.turns.size()); ++i)
        if (inputs_.turns[i] != 0 && (only < 0 || i == only))
            turns.emplace(i, inputs_.turns[i]);
    return turns;
}

void ConversionJob::showProgress(const QString &text, int index)
{
    view_.showStatus(text);
    const int n = static_cast<int>(inputs_.pictures.size());
    view_.showFill(n <= 1 ? 1.0 : static_cast<double>(index) / (n - 1));
}

void ConversionJob::convertMerged()
{
    view_.showStatus(QStringLiteral("创建文件中..."));
    view_.showFill(0);
    const QString output = runners_.merged.ExecuteCommand(converterLine(pageTurns()));
    if (stopped())
        return;
    for (const auto &[page, reason] : leftOutPagesOf(output))
        noteLeftOut(page, reason);
    if (runners_.merged.lastRunStarted()) {
        mergedPdf_ = deliver([this] {
            if (inputs_.existingPdfs == ConversionInputs::ExistingPdfs::Replace)
                return outputFolder_ + QDir::separator() + inputs_.mergedStem + QStringLiteral(".pdf");
            const auto inUse = nameInUse();
            return freePdfName(outputFolder_, inputs_.mergedStem, [&inUse](const QString &path) {
                return newPdfNameTaken(path) || (inUse && inUse(GetFileName(path)));
            });
        });
        view_.showProgressBar(false);
    }
}

void ConversionJob::converterOutput(const QString &chunk)
{
    if (const std::optional<ProgressStep> step = converterProgress_.advance(chunk)) {
        view_.showProgressBar(true);
        view_.showProgressText(step->text);
        view_.showFill(step->fill);
    }
}

void ConversionJob::converterOver()
{
    // An ended program leaves its windows alone; a cancelled job moves nothing.
    if (jobStopRequested())
        return;
    view_.showFill(1);
    view_.showProgressText(QStringLiteral("移动文件...100%"));
}

QString ConversionJob::deliver(const std::function<QString()> &chooseTarget)
{
    const bool keepExisting = inputs_.existingPdfs == ConversionInputs::ExistingPdfs::KeepAndTakeFreeName;
    // A name another run took since it was chosen is passed over; a bound, as a folder that keeps
    // filling up under our feet would otherwise hold the job for ever.
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString target = chooseTarget();
        if (target.isEmpty())
            return {};
        std::error_code error;
        // The converter's PDF is moved, not copied, when the output folder is on its file system.
        if (deliverFile(stagingFilePath(kConverterOutputName), target, &error, handleEventsUnlessStopped,
                        keepExisting ? Existing::Keep : Existing::Replace, Source::Move)) {
            ++delivered_;
            view_.pdfWritten(target);
            return target;
        }
        if (error != std::errc::file_exists || !keepExisting)
            return {};
    }
    return {};
}

std::function<bool(const QString &)> ConversionJob::nameInUse() const
{
    if (inputs_.existingPdfs != ConversionInputs::ExistingPdfs::KeepAndTakeFreeName)
        return {};
    // Any entry counts, a hidden file or a link as much as a PDF: none of them may be replaced.
    return [folder = outputFolder_](const QString &name) {
        std::error_code error;
        return std::filesystem::exists(std::filesystem::symlink_status(toFsPath(folder + u'/' + name), error));
    };
}

QString ConversionJob::converterLine(const std::map<int, int> &turns) const
{
    if (inputs_.converterProgram.isEmpty())
        return converterCommandLine(applicationFolder(), inputs_.layout, turns);
    return converterCommandLineOf(inputs_.converterProgram, inputs_.layout, turns);
}

void ConversionJob::endStrayConverters()
{
    if (inputs_.soleJob)
        KillProcessByName(converterName);
}

void ConversionJob::finish()
{
    view_.enableConvertCommand(true);
    // An empty folder is not worth a window; a folder that cannot be shown is named instead.
    const bool folderShown = delivered_ > 0 && view_.openFolder(outputFolder_);
    view_.beep();
    view_.enableCommands(true);
    // Out of the next job's way at once, and deleted beside the window, which neither waits for
    // thousands of pages to go nor stops their removal when the program ends meanwhile.
    if (!removeStagingFolderApart())
        qCWarning(lcConversion, "staged pages could not be handed on for removal: the next job removes them");
    view_.showProgressText(QStringLiteral("完成."));
    view_.showProgressBar(false);
    view_.showFill(0);
    reportShortfall();
    if (delivered_ > 0 && !folderShown)
        view_.tell(savedMessageOf(outputFolder_, mergedPdf_, delivered_), QStringLiteral("转换"),
                   ConversionView::Tone::Information);
}

void ConversionJob::reportShortfall()
{
    std::vector<ReportEntry> leftOut;
    for (const auto &[index, reason] : leftOut_)
        leftOut.push_back({inputs_.pictures.value(index), QStringLiteral("：%1").arg(reason)});
    std::vector<ReportEntry> renamed;
    for (const auto &[index, name] : renamed_)
        renamed.push_back({inputs_.pictures.value(index), QStringLiteral(" -> ") + name});
    std::vector<ReportEntry> textless;
    for (const auto &[index, reason] : textless_)
        textless.push_back({inputs_.pictures.value(index), QStringLiteral("：%1").arg(reason)});
    view_.reportEnd(leftOut, renamed, textless, delivered_ == 0);
}

bool ConversionJob::abandoned()
{
    if (!exitRequested)
        return false;
    if (!abandoned_) {
        // The program is ending and its windows are going away: the staged pages are only moved
        // out of the way, and removed once the windows are gone.
        abandoned_ = true;
        endStrayConverters();
        setStagingFolderAside();
    }
    return true;
}

bool ConversionJob::stopped()
{
    return abandoned() || jobCancelRequested;
}

void ConversionJob::cancel()
{
    if (cancellable_)
        jobCancelRequested = true;
}

void ConversionJob::windUpCancelled()
{
    cancellable_ = false;
    // Decoders and the runner have stopped; a converter started by hand or still dying is ended.
    endStrayConverters();
    // Out of sight of a converter still going at once, then removed while the commands are still
    // held, so that no new job can start on the folder meanwhile.
    setStagingFolderAside();
    removeStagingFolder(stagingClearing());
    // A copy abandoned halfway removes its own temporary; one whose removal failed goes here.
    if (inputs_.soleJob)
        removeStrandedDeliveryTemporaries(toFsPath(outputFolder_));
    jobCancelRequested = false;
    if (abandoned())
        return;
    view_.showProgressBar(false);
    view_.showFill(0);
    enableAllCommands(true);
    view_.showStatus(reasonWords(reason::kCancelled));
    // PDFs made before the cancel, one per picture, are whole and stay.
    QString text = QStringLiteral("已取消转换。");
    if (delivered_ > 0)
        text += QStringLiteral("\n取消前已生成的 %1 个PDF文件保留在：\n%2").arg(delivered_).arg(outputFolder_);
    view_.tell(text, QStringLiteral("转换"), ConversionView::Tone::Information);
}

void ConversionJob::noteLeftOut(int index, const QString &reason)
{
    if (index >= 0 && index < inputs_.pictures.size())
        leftOut_.emplace(index, reason);
}

} // namespace pagemint
