#pragma once
// Runs one conversion job of the real engine and checks what it delivered.

#include "conversion/ConversionView.h"

#include <QString>
#include <QStringList>

namespace pagemint {
class frmPrinting;
}

namespace pagemint::bench {

struct JobOutcome {
    qint64 elapsedNs = 0;
    // From the converter's end (the window shows 移动文件...100%, the delivery next) to the last
    // text before the end message (完成.); -1 when either was not seen.
    qint64 deliveredToEndNs = -1;
    // Texts of any message box the job showed; a clean benchmark job shows none.
    QStringList messages;
};

// Presses Convert and times it until the job has returned (staging, conversion, delivery, the
// end; the staging folder is removed beside it). A message box would stop the job until answered: it is noted
// and closed so that the run ends and is reported as failed instead of hanging.
JobOutcome timeConversion(frmPrinting &engine);

// The same job built from `inputs` (the list, folder, title, mode and layout the settings window
// would give, and a text choice it cannot give yet) and run through the loaded engine's converter
// runners, with a view that notes what the job says instead of showing it: a message ends up in
// `messages`, an overwrite question is declined, the output folder is noted in `opened`.
JobOutcome timeJob(frmPrinting &engine, ConversionInputs inputs, QStringList &opened);

// Empty when the output folder holds what a job on `pictures` must deliver, otherwise what is wrong.
// Merged: NewPDF.pdf with one page per picture. One per picture: <base name>.pdf for each.
QString checkDelivery(const QString &outputFolder, const QStringList &pictures, bool onePdfPerPicture);

} // namespace pagemint::bench
