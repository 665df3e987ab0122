#pragma once
// Runs the built pdf.exe and the independent PDF readers (qpdf, poppler's pdfinfo, pdfimages,
// pdftoppm) the converter tests check its output with.
#include <QImage>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <vector>

namespace pagemint::test {

struct ProcessResult {
    bool finished = false; // false: could not start, or did not end in time
    bool crashed = false;  // ended by a signal
    int exitCode = -1;
    QString out, err;
};

ProcessResult runProcess(const QString &program, const QStringList &args,
                         const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());
ProcessResult runConverter(const QStringList &args,
                           const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());

QStringList lines(const QString &text);

struct PdfPageInfo {
    double width = 0, height = 0; // points, as pdfinfo reports them
    int rotate = 0;
};
// pdfinfo's page count and sizes, or an empty list when it cannot read the file.
std::vector<PdfPageInfo> pdfPages(const QString &pdf);

// The images pdfimages -j extracts (raw JPEG streams), in page order.
QList<QByteArray> extractedJpegs(const QString &pdf);

// Page `page` (from 1) rendered by pdftoppm at `dpi`.
QImage renderPage(const QString &pdf, int page, int dpi);

} // namespace pagemint::test
