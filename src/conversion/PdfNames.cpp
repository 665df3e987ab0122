#include "conversion/PdfNames.h"

#include "conversion/PathFunctions.h"

namespace pagemint {

QString pdfBaseNameOf(const QString &picturePath)
{
    const QString name = GetFileName(picturePath);
    qsizetype dots = 0;
    while (dots < name.size() && name.at(dots) == u'.')
        ++dots;
    const QString base = GetBaseName(name.mid(dots));
    return base.isEmpty() ? QStringLiteral("page") : base;
}

QString PerPictureNames::nameFor(const QString &picturePath, const std::function<bool(const QString &)> &taken) const
{
    const QString base = pdfBaseNameOf(picturePath);
    QString name = base + QStringLiteral(".pdf");
    // Ends: each step passes one more name, and the job wrote finitely many (a folder holds
    // finitely many too).
    for (int copy = 2; written_.contains(name.toCaseFolded()) || (taken && taken(name)); ++copy)
        name = QStringLiteral("%1 (%2).pdf").arg(base, QString::number(copy));
    return name;
}

void PerPictureNames::written(const QString &fileName)
{
    written_.insert(fileName.toCaseFolded());
}

} // namespace pagemint
