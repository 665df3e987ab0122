#include "conversion/ConversionView.h"

namespace pagemint {

void ConversionView::pictureDone(int, int) {}

void ConversionView::pdfWritten(const QString &) {}

void ConversionView::reportEnd(const std::vector<ReportEntry> &leftOut, const std::vector<ReportEntry> &renamed,
                               const std::vector<ReportEntry> &textless, bool nothingWritten)
{
    const EndReport report = endReportOf(leftOut, renamed, textless, nothingWritten);
    if (report.text.isEmpty())
        return;
    tell(report.text, QStringLiteral("转换"), report.warning ? Tone::Warning : Tone::Information, report.details);
}

} // namespace pagemint
