#include "conversion/EndReport.h"

#include <algorithm>
#include <limits>
#include <string>

namespace pagemint {

namespace {
const QString leftOutHeading = QStringLiteral("以下图片未能转换，已被跳过：");
const QString renamedHeading = QStringLiteral("以下图片的PDF使用了其他名称：");
const QString nothingWrittenLine = QStringLiteral("没有生成PDF文件。");

// Columns a character takes on screen: East Asian wide and full-width characters two.
int columnsOf(char32_t c)
{
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
                      (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                      (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
    return wide ? 2 : 1;
}

constexpr int wholePaths = std::numeric_limits<int>::max();

// Each entry as one line, its path shortened to `maxColumns`.
QStringList linesOf(const std::vector<ReportEntry> &entries, int maxColumns)
{
    QStringList lines;
    for (const ReportEntry &entry : entries)
        lines << shortenedPath(entry.path, maxColumns) + entry.note;
    return lines;
}

// Sections apart by an empty line; a list without lines has no section.
QString joined(const QStringList &leftOut, const QStringList &renamed, bool nothingWritten)
{
    QStringList sections;
    if (!leftOut.isEmpty())
        sections << (QStringList{leftOutHeading} + leftOut).join(u'\n');
    if (!renamed.isEmpty())
        sections << (QStringList{renamedHeading} + renamed).join(u'\n');
    if (nothingWritten)
        sections << nothingWrittenLine;
    return sections.join(QStringLiteral("\n\n"));
}
} // namespace

QStringList summarizedLines(const QStringList &lines, int maxLines)
{
    if (lines.size() <= maxLines)
        return lines;
    QStringList shown = lines.first(std::max(maxLines, 0));
    shown << QStringLiteral("…另有 %1 张").arg(lines.size() - shown.size());
    return shown;
}

QString shortenedPath(const QString &path, int maxColumns)
{
    // Whole characters, so no surrogate pair is split.
    const std::u32string text = path.toStdU32String();
    int columns = 0;
    for (const char32_t c : text)
        columns += columnsOf(c);
    if (columns <= maxColumns)
        return path;
    const int headColumns = maxColumns / 4;
    const int tailColumns = maxColumns - headColumns - 1;
    std::size_t head = 0;
    for (int used = 0; head < text.size() && used + columnsOf(text[head]) <= headColumns; ++head)
        used += columnsOf(text[head]);
    std::size_t tail = text.size();
    for (int used = 0; tail > head && used + columnsOf(text[tail - 1]) <= tailColumns; --tail)
        used += columnsOf(text[tail - 1]);
    return QString::fromStdU32String(text.substr(0, head)) + u'…' + QString::fromStdU32String(text.substr(tail));
}

std::pair<int, int> sharedLineBudget(int first, int second, int budget)
{
    if (first + second <= budget)
        return {first, second};
    if (first < second) {
        const int kept = std::min(first, budget / 2);
        return {kept, budget - kept};
    }
    const int kept = std::min(second, budget / 2);
    return {budget - kept, kept};
}

EndReport endReportOf(const std::vector<ReportEntry> &leftOut, const std::vector<ReportEntry> &renamed,
                      bool nothingWritten, int maxNames, int maxColumns)
{
    EndReport report;
    const auto [leftOutShown, renamedShown] =
        sharedLineBudget(static_cast<int>(leftOut.size()), static_cast<int>(renamed.size()), maxNames);
    report.text = joined(summarizedLines(linesOf(leftOut, maxColumns), leftOutShown),
                         summarizedLines(linesOf(renamed, maxColumns), renamedShown), nothingWritten);
    const QString whole = joined(linesOf(leftOut, wholePaths), linesOf(renamed, wholePaths), nothingWritten);
    if (whole != report.text)
        report.details = whole;
    report.warning = !leftOut.empty() || nothingWritten;
    return report;
}

QString savedMessageOf(const QString &folder, const QString &mergedPdf, int delivered)
{
    if (!mergedPdf.isEmpty())
        return QStringLiteral("PDF文件已保存为：\n%1").arg(mergedPdf);
    return QStringLiteral("%1 个PDF文件已保存在：\n%2").arg(QString::number(delivered), folder);
}

} // namespace pagemint
