#pragma once
// Whether a one-PDF-per-picture job would replace PDFs already in its output folder, and the one
// question that asks about them, apart from any window.

#include <QString>
#include <QStringList>

#include <functional>

namespace pagemint {

// Names a question shows before "…另有 N 个": a few are enough to recognise an earlier run.
inline constexpr int kNamesInOverwriteQuestion = 5;

// The names (in list order, once each) of the PDFs a one-PDF-per-picture job would write for
// `pictures` (the names PerPictureNames hands out when every picture is written) for which
// `exists(fileName)` is true.
QStringList existingPerPicturePdfs(const QStringList &pictures, const std::function<bool(const QString &)> &exists);

// "N 个PDF文件已经存在。是否覆盖？" and, below it, the first `maxNames` of `existing`, then
// "…另有 N 个" for the rest.
QString perPictureOverwriteQuestion(const QStringList &existing, int maxNames = kNamesInOverwriteQuestion);

// The question when the document's own name is taken.
QString documentOverwriteQuestion();

// True when a job's PDF at `path` would replace what is there: anything but a folder (a link
// included, whatever it leads to). By the file system's bytes: a name may not be UTF-8.
bool pdfWouldReplace(const QString &path);

} // namespace pagemint
