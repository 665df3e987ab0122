// bench_job: the conversion job of the real engine, offscreen, timed end to end.
//   bench_job make-pictures FOLDER COUNT WIDTH HEIGHT jpg|png
//   bench_job run APP_FOLDER OUTPUT_FOLDER merged|per-picture LIST_FILE [one-at-a-time|text=WORDS]
// `run` starts the windows as the program does (helpers from APP_FOLDER/data), puts the pictures
// named in LIST_FILE (one path a line) into the image list, presses Convert and prints
// "job_ms <milliseconds>" (and "end_ms <milliseconds>": from the converter's end to the end
// message), then a "fault <text>" line for each way the delivery falls short
// (exit status 2). "one-at-a-time" stages as the program did before the decoder server: one helper
// program per picture, one picture at a time. "text=chi_sim+eng" (or "eng"; ",upright" added turns
// pages upright too) runs the job with that text choice, the recogniser from APP_FOLDER/data: the
// job is then built here from the same inputs, since the settings window has no such choice yet
// (the page layout is the default one). Run it with a private HOME and
// XDG_CACHE_HOME: the staging folder lives there.
#include "JobRun.h"
#include "TestPictures.h"

#include "app/ConversionMode.h"
#include "app/frmPrinting.h"
#include "common/ApplicationFolder.h"
#include "common/ExitRequest.h"
#include "contract/StagingFolder.h"
#include "contract/TextRecognition.h"
#include "conversion/DecoderProcess.h"
#include "conversion/PageStaging.h"
#include "imagelist/ImageList.h"
#include "ui/Shell.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLineEdit>

#include <cstdio>
#include <filesystem>
#include <optional>

namespace {

using namespace pagemint;

int fail(const QString &message)
{
    std::fprintf(stderr, "bench_job: %s\n", qPrintable(message));
    return 1;
}

void handleEventsFor(int milliseconds)
{
    const QDeadlineTimer due(milliseconds);
    while (!due.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

QStringList readList(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// "text=chi_sim+eng" or "text=eng", with ",upright" or without; none for another word.
std::optional<TextChoice> textChoiceOf(const QString &option)
{
    if (!option.startsWith(QLatin1String("text=")))
        return std::nullopt;
    QStringList words = option.mid(5).split(QLatin1Char(','));
    TextChoice choice;
    choice.upright = words.removeAll(QStringLiteral("upright")) > 0;
    if (words.size() != 1)
        return std::nullopt;
    const std::optional<Recognition> recognition = recognitionFromWord(words.first().toStdString());
    if (!recognition)
        return std::nullopt;
    choice.recognition = *recognition;
    return choice;
}

int runJob(const QString &appFolder, const QString &outputFolder, const QString &mode, const QString &listFile,
           bool oneAtATime, const std::optional<TextChoice> &text)
{
    if (oneAtATime) {
        setDecoderLaunchForTesting(DecoderLaunch::ProgramPerPicture);
        PageStaging::setDefaultWidthForTesting(1);
    }
    const QStringList pictures = readList(listFile);
    if (pictures.isEmpty() || (mode != QLatin1String("merged") && mode != QLatin1String("per-picture")))
        return fail(QStringLiteral("need a mode (merged or per-picture) and a non-empty list of pictures"));
    setApplicationFolderForTesting(appFolder);
    QStringList opened;
    // The job ends by opening the output folder in a file manager; note it rather than start one.
    setShellHandlerForTesting([&opened](const QString &action, const QString &target) {
        opened << action + QLatin1Char(' ') + target;
        return true;
    });

    frmPrinting engine;
    engine.Form_Load();
    // A one-shot step shortly after loading clears the staging folder: let it run before the job.
    const QDeadlineTimer loading(2000);
    while (!engine.mainWindow()->loadingFinished() && !loading.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    handleEventsFor(100);

    OnePdfPerPicture = mode == QLatin1String("per-picture");
    engine.findChild<QLineEdit *>(QStringLiteral("txtPath"))->setText(outputFolder);
    engine.mainWindow()->appendEntries(pictures);

    bench::JobOutcome outcome;
    if (text) {
        ConversionInputs inputs;
        inputs.pictures = engine.mainWindow()->imageList().entries();
        inputs.outputFolderText = outputFolder;
        inputs.title = engine.findChild<QLineEdit *>(QStringLiteral("txtTitle"))->text();
        inputs.onePdfPerPicture = OnePdfPerPicture;
        inputs.text = *text;
        outcome = bench::timeJob(engine, std::move(inputs), opened);
    } else {
        outcome = bench::timeConversion(engine);
    }
    // The time is printed even for a faulty job: a fault is part of what the benchmark shows.
    std::printf("job_ms %.1f\n", double(outcome.elapsedNs) / 1e6);
    if (outcome.deliveredToEndNs >= 0)
        std::printf("end_ms %.1f\n", double(outcome.deliveredToEndNs) / 1e6);
    QStringList faults;
    if (!outcome.messages.isEmpty())
        faults << QStringLiteral("the job showed a message: ") + outcome.messages.join(QStringLiteral(" | "));
    else if (const QString wrong = bench::checkDelivery(outputFolder, pictures, OnePdfPerPicture); !wrong.isEmpty())
        faults << wrong;
    if (std::filesystem::exists(stagingFolder()))
        faults << QStringLiteral("the staging folder was left behind");
    if (!opened.contains(QStringLiteral("open ") + outputFolder))
        faults << QStringLiteral("the job did not finish by opening the output folder");
    for (const QString &fault : faults)
        std::printf("fault %s\n", qPrintable(QString(fault).replace(QLatin1Char('\n'), QLatin1String(" / "))));
    return faults.isEmpty() ? 0 : 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 6 && args[0] == QLatin1String("make-pictures")) {
        const bool made = bench::makePictures(args[1], args[2].toInt(), args[3].toInt(), args[4].toInt(),
                                              args[5].toLatin1().constData());
        return made ? 0 : fail(QStringLiteral("could not write the pictures into ") + args[1]);
    }
    const bool oneAtATime = args.size() == 6 && args[5] == QLatin1String("one-at-a-time");
    const std::optional<TextChoice> text = args.size() == 6 ? textChoiceOf(args[5]) : std::nullopt;
    if ((args.size() == 5 || oneAtATime || text) && args[0] == QLatin1String("run"))
        return runJob(args[1], args[2], args[3], args[4], oneAtATime, text);
    return fail(QStringLiteral("usage: bench_job make-pictures FOLDER COUNT WIDTH HEIGHT jpg|png\n"
                               "       bench_job run APP_FOLDER OUTPUT_FOLDER merged|per-picture LIST_FILE "
                               "[one-at-a-time|text=chi_sim+eng[,upright]|text=eng[,upright]]"));
}
