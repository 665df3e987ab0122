#pragma once
// How the conversion reads the converter's output and names what it delivers, apart from any
// window.

#include "contract/PageLayout.h"

#include <QString>

#include <functional>
#include <map>

namespace pagemint {

// The last word of a piece of converter output (words lie between single spaces; line breaks do
// not separate them) whose last four characters are ".jpg" in any case; empty when there is none.
QString pageWordOf(const QString &chunk);

// The number a page word starts with ("00003.jpg" -> 3); tabs and line feeds are skipped, reading
// stops at the first other non-digit; 0 when it starts with no number.
int pageNumberOf(const QString &pageWord);

// Percentage shown for picture i (from 0) of n while staging: the whole part of i / (n - 1) × 100.
// A single picture is 100%.
int stagingPercent(int i, int n);

// Percentage shown for converter page k of n: k / n × 100 to the nearest whole number, halves to
// even.
int converterPercent(int k, int n);

// NewPDF.pdf, or the first free NewPDF1.pdf … NewPDF10000.pdf in `folder`; empty when all are taken.
QString freeNewPdfName(const QString &folder, const std::function<bool(const QString &)> &exists);
// The same for another stem: stem.pdf, or the first free stem1.pdf … stem10000.pdf.
QString freePdfName(const QString &folder, const QString &stem, const std::function<bool(const QString &)> &exists);

// A file that a user would see in a folder listing: hidden files count as absent.
bool visibleFileExists(const QString &path);

// Whether a NewPDF name is taken: by a file a user would see, or by a folder (no PDF can go there).
bool newPdfNameTaken(const QString &path);

// Staged pages the converter left out, as "left-out:00003.jpg:reason" lines in its output:
// page index -> reason.
std::map<int, QString> leftOutPagesOf(const QString &converterOutput);

// The output folder a job writes to: the folder text without one trailing separator.
QString outputFolderOf(const QString &folderText);

// The converter's command line, its path quoted so a folder with spaces stays one word, with the
// layout's arguments before /NOASK (none on the original paper: the line is then as it always was)
// and a turn argument for each staged page in `turns` (list position -> clockwise turn) that is
// turned.
QString converterCommandLine(const QString &applicationFolder, const PageLayout &layout = {},
                             const std::map<int, int> &turns = {});
// The same for the converter at `converterProgram`.
QString converterCommandLineOf(const QString &converterProgram, const PageLayout &layout = {},
                               const std::map<int, int> &turns = {});

} // namespace pagemint
