#pragma once
// Where a command-line run puts its PDFs, from -o (or the stored output folder) and the mode.

#include <QString>

#include <functional>

namespace pagemint {

struct OutputTarget {
    QString folder;                          // absolute
    QString stem = QStringLiteral("NewPDF"); // the merged document's name without ".pdf"
    QString problem;                         // empty when the target can be used
};

// `output`: -o's value, empty when none was given (the stored folder then, NewPDF.pdf in it).
// A path ending in ".pdf" in any case that `isFolder` does not call a folder names the merged
// document itself; in one-PDF-per-picture mode it is refused. Anything else is a folder. Relative
// paths are taken from `workingFolder`.
OutputTarget outputTargetOf(const QString &output, bool onePdfPerPicture, const QString &storedFolder,
                            const QString &workingFolder, const std::function<bool(const QString &)> &isFolder);

} // namespace pagemint
