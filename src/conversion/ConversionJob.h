#pragma once

#include "conversion/PdfNames.h"

#include <QString>
#include <QStringList>

#include <map>

namespace pagemint {

class frmMain;
class frmPrinting;

// One conversion of the image list into PDF files in the output folder: a merged document, or one
// document per picture. Runs on the UI thread, handling events between steps while the controls
// that could change anything are disabled.
class ConversionJob {
public:
    explicit ConversionJob(frmPrinting &engine);
    void run();

private:
    bool refuseEmptyList();
    bool refuseMissingOutputFolder();
    bool refuseUnusableOutputFolder();
    void setControlsUsable(bool usable, bool withCommand3 = true);
    void stripTrailingSeparator();
    bool declineOverwrite();
    void prepareFolders();
    void stageAll();
    // False when the converter could not be started: the job goes no further.
    bool convertOnePicture(int index, const QString &entry);
    void convertMerged();
    void showStatus(const QString &text);
    void showProgress(const QString &text, int index);
    void finish();
    void reportShortfall();
    // True once the user ended the program: the job then leaves every window alone.
    bool abandoned();
    void noteLeftOut(int index, const QString &reason);

    frmPrinting &engine_;
    frmMain &window_;
    QString outputFolder_;
    QStringList entries_;
    std::map<int, QString> leftOut_;
    PerPictureNames pdfNames_;
    // Pictures whose PDF got a name other than their base name: list index -> that name.
    std::map<int, QString> renamed_;
    int delivered_ = 0;
    bool abandoned_ = false;
};

} // namespace pagemint
