#pragma once
// What a conversion job takes from the windows, and what it asks of them: the job holds no widget,
// so its decisions can be followed through a recording view.

#include "contract/PageLayout.h"
#include "contract/TextRecognition.h"
#include "conversion/EndReport.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace pagemint {

// A job's inputs, read from the list and the settings in force when the user starts it.
struct ConversionInputs {
    QStringList pictures;     // the image list, in order
    QString outputFolderText; // the output folder as the settings show it
    QString title;            // the document title; a PDF of that name in the folder asks to overwrite
    bool onePdfPerPicture = false;
    PageLayout layout; // how the converter puts each picture on its page
    TextChoice text;   // the text layer and upright turn the recogniser finds for each page
    // The user's clockwise turn of each picture (0, 90, 180, 270), on top of its EXIF orientation;
    // as long as `pictures`, or empty when none is turned.
    QList<int> turns;

    // PDFs of earlier runs under the names the job would write: the window asks (askToOverwrite)
    // and replaces them; a command line replaces them, or keeps them and writes under the next
    // free name, as it was told.
    enum class ExistingPdfs { Ask, Replace, KeepAndTakeFreeName };
    ExistingPdfs existingPdfs = ExistingPdfs::Ask;
    // The merged document's name without ".pdf": NewPDF, or the first free NewPDF1 ... .
    QString mergedStem = QStringLiteral("NewPDF");
    // The window's job is the user's only one: it ends every converter of the user it sees and
    // removes the delivery temporaries a killed copy left, since a crash's leftovers would write
    // into its staging folder. A job that may run beside others (the command line's) ends only
    // what it started and leaves other jobs' temporaries alone.
    bool soleJob = true;
    // The converter the job starts; empty: the application folder's data/pdf.exe.
    QString converterProgram;
};

class ConversionView {
public:
    enum class Tone { Plain, Information, Warning };

    virtual ~ConversionView() = default;

    // The commands that could change the list, and the one that starts a job. The end of a job
    // gives the convert command back before the others.
    virtual void enableCommands(bool enabled) = 0;
    virtual void enableConvertCommand(bool enabled) = 0;
    // The output folder in force, as the job will use it (one trailing separator less).
    virtual void showOutputFolder(const QString &folder) = 0;
    virtual void showProgressBar(bool shown) = 0;
    // The job's status: kept by the engine and shown beside the bar.
    virtual void showStatus(const QString &text) = 0;
    // A passing text beside the bar only; the engine keeps the last status.
    virtual void showProgressText(const QString &text) = 0;
    // How much of the bar is filled, from 0 (empty) to 1 (full).
    virtual void showFill(double fraction) = 0;
    // Output files the job would write exist: asks `question` (it names them); true to replace them.
    virtual bool askToOverwrite(const QString &question) = 0;
    virtual void tell(const QString &text, const QString &caption, Tone tone, const QString &details = {}) = 0;
    // Shows the folder on the desktop; false when it could not be shown.
    virtual bool openFolder(const QString &folder) = 0;
    virtual void beep() = 0;
    // Lets the windows repaint and take the user's input between two steps of the job.
    virtual void handleEvents() = 0;

    // Picture `index` (from 0) of `count` is done: staged, or its own PDF made.
    virtual void pictureDone(int index, int count);
    // A PDF is whole under `path` in the output folder.
    virtual void pdfWritten(const QString &path);
    // The job's end: the pictures left out (": reason"), those whose PDF got another name (" ->
    // name"), and whether no PDF was written at all. A window tells the summary of endReportOf
    // (at most kShownNames names, the rest in the details); a console names every one.
    virtual void reportEnd(const std::vector<ReportEntry> &leftOut, const std::vector<ReportEntry> &renamed,
                           const std::vector<ReportEntry> &textless, bool nothingWritten);
};

} // namespace pagemint
