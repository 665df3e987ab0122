#pragma once
// The message a job ends with, apart from any window: what was left out, what got another name.

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace pagemint {

// Names a message box shows before the rest goes to its details: more would not fit on a screen.
inline constexpr int kShownNames = 15;
// Columns of a path in the box: it wraps long lines, and a deep path would take several rows.
inline constexpr int kShownPathColumns = 60;

// One picture in the report: its path, and what is said of it ("：reason", " -> other.pdf").
struct ReportEntry {
    QString path;
    QString note;
};

// The first `maxLines` of `lines`, then "…另有 N 张" for the N that were not shown.
QStringList summarizedLines(const QStringList &lines, int maxLines);

// `path` cut to at most `maxColumns` columns by a "…" in its middle (East Asian wide characters
// take two columns, as on screen); most of the room goes to the end, where the file name stands.
QString shortenedPath(const QString &path, int maxColumns);

// How many lines each of two lists may show when `budget` lines are shared: both whole when they
// fit; otherwise the shorter (the second when they are even) keeps up to half and the other takes
// the rest.
std::pair<int, int> sharedLineBudget(int first, int second, int budget);
// The same for any number of lists: the shortest first take up to an even share of what is left,
// a later list counting as the shorter of two that are even.
std::vector<int> sharedLineBudget(const std::vector<int> &sizes, int budget);

struct EndReport {
    QString text;         // what the box says; empty when there is nothing to report
    QString details;      // every entry in full; empty when `text` holds them all
    bool warning = false; // a picture is missing from the output
};

// `leftOut`: the pictures that were not converted; `renamed`: those whose PDF got a name other
// than their base name; `textless`: those converted whose text could not be recognised;
// `nothingWritten`: no PDF was delivered at all. The text shows at most `maxNames` entries of the
// three lists, their paths shortened to `maxColumns`.
EndReport endReportOf(const std::vector<ReportEntry> &leftOut, const std::vector<ReportEntry> &renamed,
                      const std::vector<ReportEntry> &textless, bool nothingWritten, int maxNames = kShownNames,
                      int maxColumns = kShownPathColumns);

// Where the PDFs went, when the desktop cannot show their folder: the merged document by its full
// path (`mergedPdf`), or how many one-PDF-per-picture documents (`delivered`) are in `folder`.
QString savedMessageOf(const QString &folder, const QString &mergedPdf, int delivered);

} // namespace pagemint
