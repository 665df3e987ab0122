#pragma once

#include "conversion/ConversionView.h"
#include "conversion/ConverterProgress.h"
#include "conversion/PdfNames.h"

#include <QString>

#include <functional>
#include <map>

namespace pagemint {

class DOSOutputs;
class PageRecognition;

// The converter runners a job uses: one run per picture, or one run for the merged document whose
// output the caller hands back through converterOutput().
struct ConverterRunners {
    DOSOutputs &perPicture;
    DOSOutputs &merged;
};

// One conversion of the image list into PDF files in the output folder: a merged document, or one
// document per picture. Runs on the UI thread, handling events between steps while the commands
// that could change anything are disabled.
class ConversionJob {
public:
    ConversionJob(ConversionInputs inputs, ConversionView &view, ConverterRunners runners);
    void run();

    // A piece of what the merged document's converter printed: moves the bar.
    void converterOutput(const QString &chunk);
    // The merged document's converter has ended: the bar shows the move to the output folder.
    void converterOver();
    // The user's Esc or 取消转换: the job stops within a moment, writes no PDF from then on, removes
    // its staged pages and temporaries, keeps the list and gives the commands back. Does nothing
    // before the job has started staging or once it is finishing.
    void cancel();

private:
    bool refuseEmptyList();
    bool refuseMissingOutputFolder();
    bool refuseUnusableOutputFolder();
    void enableAllCommands(bool enabled);
    bool declineOverwrite();
    // Clears the staging folder for this job; false (and the user told) when it will not clear.
    bool prepareFolders();
    void stageAll();
    // Waits for the text of the picture at `index` when recognition is on (`recognition` not null),
    // showing 识别文字... meanwhile; a page left without text is noted for the end message.
    void awaitText(PageRecognition *recognition, int index);
    // False when the converter could not be started: the job goes no further.
    bool convertOnePicture(int index, const QString &entry);
    void convertMerged();
    // The turned pictures (list position -> clockwise turn): every one, or only the one at `only`.
    std::map<int, int> pageTurns(int only = -1) const;
    // Moves the converter's PDF to the path `chooseTarget` gives (asked again when another run took
    // that name meanwhile); the one place a job puts a PDF in the output folder. The path it went
    // to; empty when none.
    QString deliver(const std::function<QString()> &chooseTarget);
    // What a name chosen for a PDF must not be, beyond those the job wrote: none unless existing
    // PDFs are to be kept.
    std::function<bool(const QString &)> nameInUse() const;
    // The converter's command line with the turns of `turns` (list position -> clockwise turn).
    QString converterLine(const std::map<int, int> &turns) const;
    // Ends every converter of the user when the job is the only one (ConversionInputs::soleJob).
    void endStrayConverters();
    void showProgress(const QString &text, int index);
    void finish();
    void reportShortfall();
    // True once the user ended the program: the job then leaves every window alone.
    bool abandoned();
    // True once the job was cancelled or abandoned: it then takes no further step.
    bool stopped();
    // Ends a cancelled job: nothing of it left behind, the commands given back, 已取消 said.
    void windUpCancelled();
    void noteLeftOut(int index, const QString &reason);

    ConversionInputs inputs_;
    ConversionView &view_;
    ConverterRunners runners_;
    QString outputFolder_;
    std::map<int, QString> leftOut_;
    // Pictures converted without their text: list index -> why.
    std::map<int, QString> textless_;
    PerPictureNames pdfNames_;
    // Pictures whose PDF got a name other than their base name: list index -> that name.
    std::map<int, QString> renamed_;
    ConverterProgress converterProgress_;
    // The merged document as delivered; empty in one-PDF-per-picture mode or when none was.
    QString mergedPdf_;
    int delivered_ = 0;
    bool abandoned_ = false;
    // Between the start of staging and the start of finishing, when cancel() has a job to stop.
    bool cancellable_ = false;
};

} // namespace pagemint
