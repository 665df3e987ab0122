#pragma once
// Names of the PDFs a job writes in one-PDF-per-picture mode, apart from any window.

#include <QSet>
#include <QString>

#include <functional>

namespace pagemint {

// The name a picture's own PDF is made from: GetBaseName of its file name with the leading dots
// ignored, so ".hidden.png" gives "hidden", not a hidden ".pdf"; "page" when nothing is left
// (a name made of dots only).
QString pdfBaseNameOf(const QString &picturePath);

// The PDF names one job hands out. A name the job wrote is never given again: the next picture of
// that base name gets the first of "base (2).pdf", "base (3).pdf" … the job has not written.
// Files that earlier jobs left are not looked at unless `taken` is given; they are replaced as
// before. Names are compared without regard to case, so an output folder on a file system that
// ignores case loses no page either.
class PerPictureNames {
public:
    // File name (no folder) for the PDF of the picture at `picturePath`; a name `taken` says is in
    // use is passed over like one the job wrote.
    QString nameFor(const QString &picturePath, const std::function<bool(const QString &)> &taken = {}) const;
    // Records that the job wrote `fileName` into the output folder.
    void written(const QString &fileName);

private:
    QSet<QString> written_;
};

} // namespace pagemint
