#pragma once
// Runs the built pdf.exe and the independent PDF readers (qpdf, poppler's pdfinfo, pdfimages,
// pdftoppm) the converter tests check its output with.
#include <QImage>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include "contract/PageLayout.h"

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

// Where each page draws its picture, in page order: the box the unit square lands in under the
// page's `cm` matrix (points, PDF y up).
struct Box {
    double left, bottom, right, top;
};
std::vector<Box> pictureBoxes(const QString &pdf);

// A PDF's bytes without its file identifier, the one thing that differs from run to run.
QByteArray withoutId(const QString &pdf);

// pdf.exe's arguments for a page layout.
QStringList argumentsOf(const PageLayout &layout);

} // namespace pagemint::test
