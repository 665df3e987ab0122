#include "conversion/ProgressDisplay.h"

#include "contract/ConverterContract.h"
#include "conversion/Delivery.h"
#include "conversion/ConversionRules.h"
#include "conversion/StagingPaths.h"
#include "ui/frmMain.h"

#include <QFrame>
#include <QLabel>

namespace pagemint {

void advanceConverterProgress(frmMain &window, const QString &chunk, int pageCount)
{
    if (pageCount <= 0)
        return;
    const int page = pageNumberOf(pageWordOf(chunk));
    const float length = static_cast<float>(window.barTwips() * page / pageCount);
    if (length < window.fillTwips())
        return;
    window.PicPB->show();
    window.lblPB->show();
    window.setProgressText(QStringLiteral("创建PDF...%1%").arg(converterPercent(page, pageCount)));
    window.setFillTwips(length);
}

QString deliverMergedDocument(frmMain &window, const QString &outputFolder)
{
    window.setFillTwips(window.barTwips());
    window.setProgressText(QStringLiteral("移动文件...100%"));
    const QString target = freeNewPdfName(outputFolder, newPdfNameTaken);
    const QString source = stagingFilePath(kConverterOutputName);
    const bool delivered = !target.isEmpty() && deliverFile(source, target);
    window.PicPB->hide();
    window.lblPB->hide();
    return delivered ? target : QString();
}

} // namespace pagemint
