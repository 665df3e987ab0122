#include "JobRun.h"

#include "app/frmPrinting.h"
#include "conversion/PathFunctions.h"

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

} // namespace

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
