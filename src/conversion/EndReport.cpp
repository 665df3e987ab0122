#include "conversion/EndReport.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <limits>
#include <string>

namespace pagemint {

namespace {
const QString leftOutHeading = QStringLiteral("以下图片未能转换，已被跳过：");
const QString renamedHeading = QStringLiteral("以下图片的PDF使用了其他名称：");
const QString textlessHeading = QStringLiteral("以下图片已转换，但未能识别其中的文字：");
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

const QString *const headings[] = {&leftOutHeading, &renamedHeading, &textlessHeading};
constexpr std::size_t kLists = std::size(headings);

// Sections apart by an empty line, in the order of `headings`; a list without lines has no section.
QString joined(const std::array<QStringList, kLists> &lists, bool nothingWritten)
{
    QStringList sections;
    for (std::size_t i = 0; i < kLists; ++i)
        if (!lists[i].isEmpty())
            sections << (QStringList{*headings[i]} + lists[i]).join(u'\n');
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
    const std::vector<int> shown = sharedLineBudget(std::vector<int>{first, second}, budget);
    return {shown[0], shown[1]};
}

std::vector<int> sharedLineBudget(const std::vector<int> &sizes, int budget)
{
    std::vector<std::size_t> order(sizes.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    // Shortest first; of two even lists the later one.
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return sizes[a] != sizes[b] ? sizes[a] < sizes[b] : a > b; });
    std::vector<int> shown(sizes.size());
    int left = budget;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const int share = left / static_cast<int>(order.size() - k);
        shown[order[k]] = std::min(sizes[order[k]], share);
        left -= shown[order[k]];
    }
    return shown;
}

EndReport endReportOf(const std::vector<ReportEntry> &leftOut, const std::vector<ReportEntry> &renamed,
                      const std::vector<ReportEntry> &textless, bool nothingWritten, int maxNames, int maxColumns)
{
    const std::array<const std::vector<ReportEntry> *, kLists> lists = {&leftOut, &renamed, &textless};
    std::vector<int> sizes;
    for (const std::vector<ReportEntry> *list : lists)
        sizes.push_back(static_cast<int>(list->size()));
    const std::vector<int> shown = sharedLineBudget(sizes, maxNames);
    std::array<QStringList, kLists> shownLines, wholeLines;
    for (std::size_t i = 0; i < kLists; ++i) {
        shownLines[i] = summarizedLines(linesOf(*lists[i], maxColumns), shown[i]);
        wholeLines[i] = linesOf(*lists[i], wholePaths);
    }
    EndReport report;
    report.text = joined(shownLines, nothingWritten);
    const QString whole = joined(wholeLines, nothingWritten);
    if (whole != report.text)
        report.details = whole;
    // A page without its text is still there: that alone is no warning.
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
