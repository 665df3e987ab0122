#pragma once
// The main window's progress display while the converter builds a merged document.

#include <QString>

namespace pagemint {

class frmMain;

// Lengthens the bar to the page the converter reports in `chunk`, out of `pageCount`; the bar
// never moves back.
void advanceConverterProgress(frmMain &window, const QString &chunk, int pageCount);

// Fills the bar and copies the converter's tmp.pdf into `outputFolder` under the first free
// NewPDF name. Returns the delivered file, or empty when nothing was delivered.
QString deliverMergedDocument(frmMain &window, const QString &outputFolder);

} // namespace pagemint
