#include "JobRun.h"

#include "app/frmPrinting.h"
#include "conversion/ConversionJob.h"
#include "conversion/PathFunctions.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>

namespace pagemint::bench {

namespace {

int pageCount(const QString &pdf)
{
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {pdf});
    if (!pdfinfo.waitForFinished(60000) || pdfinfo.exitCode() != 0)
        return -1;
    for (const QString &line : QString::fromUtf8(pdfinfo.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

// What the windows would show of a job, noted; the job's questions answered as a run must go on.
class NotingView : public ConversionView {
public:
    NotingView(QStringList &messages, QStringList &opened) : messages_(messages), opened_(opened) {}
    void enableCommands(bool) override {}
    void enableConvertCommand(bool) override {}
    void showOutputFolder(const QString &) override {}
    void showProgressBar(bool) override {}
    void showStatus(const QString &) override {}
    void showProgressText(const QString &) override {}
    void showFill(double) override {}
    bool askToOverwrite(const QString &question) override
    {
        messages_ << question;
        return false;
    }
    void tell(const QString &text, const QString &, Tone, const QString &details) override
    {
        messages_ << (details.isEmpty() ? text : text + QLatin1Char('\n') + details);
    }
    bool openFolder(const QString &folder) override
    {
        opened_ << QStringLiteral("open ") + folder;
        return true;
    }
    void beep() override {}
    void handleEvents() override { QApplication::processEvents(); }

private:
    QStringList &messages_;
    QStringList &opened_;
};

} // namespace

JobOutcome timeJob(frmPrinting &engine, ConversionInputs inputs, QStringList &opened)
{
    JobOutcome outcome;
    NotingView view(outcome.messages, opened);
    ConversionJob job(std::move(inputs), view, {engine.objShell(), engine.objDOS()});
    QElapsedTimer clock;
    clock.start();
    job.run();
    outcome.elapsedNs = clock.nsecsElapsed();
    return outcome;
}

JobOutcome timeConversion(frmPrinting &engine)
{
    JobOutcome outcome;
    QTimer watcher;
    watcher.setInterval(100);
    QObject::connect(&watcher, &QTimer::timeout, [&outcome] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            outcome.messages << box->text();
            box->close();
        }
    });
    watcher.start();
    QElapsedTimer clock;
    clock.start();
    qint64 converterEnded = -1;
    QObject context;
    QObject::connect(engine.mainWindow(), &frmMain::progressTextShown, &context, [&](const QString &text) {
        if (text == QStringLiteral("移动文件...100%"))
            converterEnded = clock.nsecsElapsed();
        else if (text == QStringLiteral("完成.") && converterEnded >= 0)
            outcome.deliveredToEndNs = clock.nsecsElapsed() - converterEnded;
    });
    engine.Command3_Click();
    outcome.elapsedNs = clock.nsecsElapsed();
    return outcome;
}

QString checkDelivery(const QString &outputFolder, const QStringList &pictures, bool onePdfPerPicture)
{
    const QDir folder(outputFolder);
    const QStringList pdfs = folder.entryList({QStringLiteral("*.pdf")}, QDir::Files);
    if (!onePdfPerPicture) {
        const int pages = pageCount(folder.filePath(QStringLiteral("NewPDF.pdf")));
        if (pdfs.size() != 1 || pages != pictures.size())
            return QStringLiteral("expected NewPDF.pdf alone with %1 pages, found %2 PDF(s), NewPDF.pdf with %3 pages")
                .arg(pictures.size())
                .arg(pdfs.size())
                .arg(pages);
        return {};
    }
    if (pdfs.size() != pictures.size())
        return QStringLiteral("expected %1 PDFs, found %2").arg(pictures.size()).arg(pdfs.size());
    for (const QString &picture : pictures) {
        if (!QFile::exists(folder.filePath(GetBaseName(picture) + QStringLiteral(".pdf"))))
            return QStringLiteral("no PDF for %1").arg(picture);
    }
    // Opening every file would add minutes to the checks: the first and last stand for the rest.
    for (const QString &picture : {pictures.first(), pictures.last()}) {
        const QString pdf = folder.filePath(GetBaseName(picture) + QStringLiteral(".pdf"));
        if (pageCount(pdf) != 1)
            return QStringLiteral("%1 does not hold one page").arg(pdf);
    }
    return {};
}

} // namespace pagemint::bench
