#include "cli/CommandLineRun.h"

#include "cli/CommandLineOptions.h"
#include "cli/ConsoleView.h"
#include "cli/OutputTarget.h"
#include "cli/RunFolder.h"
#include "cli/StoredChoices.h"
#include "common/ExitRequest.h"
#include "conversion/ConversionJob.h"
#include "imagelist/FindImageFiles.h"
#include "imagelist/ScanSink.h"
#include "process/DOSOutputs.h"

#include <QDir>
#include <QFileInfo>
#include <QObject>

#include <unistd.h>

namespace pagemint {

namespace {

// The folder scan's batches, in order, into one list.
class CollectingSink : public ScanSink {
public:
    explicit CollectingSink(QStringList &pictures) : pictures_(pictures) {}
    void appendBatch(const QStringList &paths) override { pictures_ << paths; }
    bool keepGoing() const override { return !exitRequested; }

private:
    QStringList &pictures_;
};

void tellError(const QString &text)
{
    writeConsoleText(stderr, QStringLiteral("pagemint：%1\n").arg(text));
}

// Pictures as given; each folder as 添加目录 scans it, in its place among them. Folders that could
// not be read are named: their pictures would otherwise be missing without a word.
QStringList picturesOf(const QStringList &inputs)
{
    QStringList pictures;
    for (const QString &input : inputs) {
        if (!QFileInfo(input).isDir()) {
            // A missing file goes to the job too: it is left out with its reason like a bad picture.
            pictures << input;
            continue;
        }
        CollectingSink sink(pictures);
        for (const QString &unreadable : FindImageFiles(input, sink))
            tellError(QStringLiteral("无法读取文件夹：%1").arg(unreadable));
        if (exitRequested)
            break;
    }
    return pictures;
}

int interrupted()
{
    tellError(QStringLiteral("已中断：没有留下临时文件，中断前生成的PDF保留。"));
    return kInterrupted;
}

int convert(const CommandLineRequest &request)
{
    const StoredChoices stored = readStoredChoices();
    const OutputTarget target =
        outputTargetOf(request.output.value_or(QString()), request.onePdfPerPicture, stored.outputFolder,
                       QDir::currentPath(), [](const QString &path) { return QFileInfo(path).isDir(); });
    if (!target.problem.isEmpty()) {
        tellError(target.problem);
        return kNothingWritten;
    }
    const QStringList pictures = picturesOf(request.inputs);
    if (exitRequested)
        return interrupted();
    if (pictures.isEmpty()) {
        tellError(QStringLiteral("没有找到图片：%1").arg(request.inputs.join(QStringLiteral("、"))));
        return kNothingWritten;
    }

    int status = kNothingWritten;
    {
        const RunFolder folder;
        if (!folder.problem().isEmpty()) {
            tellError(folder.problem());
            return kNothingWritten;
        }
        ConversionInputs inputs;
        inputs.pictures = pictures;
        inputs.outputFolderText = target.folder;
        inputs.onePdfPerPicture = request.onePdfPerPicture;
        inputs.layout = request.layoutOver(stored.layout);
        inputs.text = request.textOver(stored.text);
        inputs.existingPdfs = request.overwrite ? ConversionInputs::ExistingPdfs::Replace
                                                : ConversionInputs::ExistingPdfs::KeepAndTakeFreeName;
        inputs.mergedStem = target.stem;
        inputs.soleJob = false;
        inputs.converterProgram = folder.converterProgram();

        ConsoleView view(pictures, {stdout, stderr, ::isatty(STDERR_FILENO) == 1, request.quiet});
        DOSOutputs perPicture;
        DOSOutputs merged;
        for (DOSOutputs *runner : {&perPicture, &merged}) {
            runner->waitForOwnCommandOnly();
            QObject::connect(runner, &DOSOutputs::Failed, [&view](const QString &message) { view.say(message); });
        }
        ConversionJob job(std::move(inputs), view, {perPicture, merged});
        QObject::connect(&merged, &DOSOutputs::ReceiveOutputs,
                         [&job](const QString &chunk) { job.converterOutput(chunk); });
        QObject::connect(&merged, &DOSOutputs::CommandOver, [&job] { job.converterOver(); });
        job.run();
        if (view.pdfsWritten() > 0)
            status = view.picturesLeftOut() > 0 ? kSomeLeftOut : kAllConverted;
    }
    // The run's folder is gone by now, staged pages and all.
    return exitRequested ? interrupted() : status;
}

} // namespace

int runCommandLine(const QStringList &arguments)
{
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    switch (parsed.request.action) {
    case CommandLineRequest::Action::Help:
        writeConsoleText(stdout, commandLineHelp());
        return kAllConverted;
    case CommandLineRequest::Action::Version:
        writeConsoleText(stdout, commandLineVersion());
        return kAllConverted;
    case CommandLineRequest::Action::Convert:
        break;
    }
    if (!parsed.problem.isEmpty()) {
        tellError(parsed.problem + QStringLiteral("\n用法见 pagemint --help"));
        return kNothingWritten;
    }
    return convert(parsed.request);
}

} // namespace pagemint
