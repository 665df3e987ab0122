#include "conversion/EndReport.h"

#include <gtest/gtest.h>

namespace pagemint {
namespace {

QStringList numbered(const QString &prefix, int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << prefix + QString::number(i);
    return lines;
}

const QString deepPath =
    QStringLiteral("/home/someone/a-rather-deep/folder/of/holiday/pictures/taken/in/the/summer/of/2012/IMG_1.jpg");

std::vector<ReportEntry> entries(const QStringList &paths, const QString &note)
{
    std::vector<ReportEntry> result;
    for (const QString &path : paths)
        result.push_back({path, note});
    return result;
}

TEST(EndReport, SummarizedLinesShowAtMostTheLimit)
{
    const QStringList three = numbered(QStringLiteral("p"), 3);
    EXPECT_EQ(summarizedLines(three, 3), three);
    EXPECT_EQ(summarizedLines(three, 15), three);
    EXPECT_EQ(summarizedLines(three, 2),
              (QStringList{QStringLiteral("p1"), QStringLiteral("p2"), QStringLiteral("…另有 1 张")}));
    EXPECT_EQ(summarizedLines(three, 0), QStringList{QStringLiteral("…另有 3 张")});
    EXPECT_EQ(summarizedLines({}, 0), QStringList());
    const QStringList many = summarizedLines(numbered(QStringLiteral("p"), 500), 15);
    ASSERT_EQ(many.size(), 16);
    EXPECT_EQ(many.at(14), QStringLiteral("p15"));
    EXPECT_EQ(many.at(15), QStringLiteral("…另有 485 张"));
}

TEST(EndReport, LongPathsAreCutInTheMiddle)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("abcdefghij"), QStringLiteral("abcdefghij")},      // fits: unchanged
        {QStringLiteral("abcdefghijk"), QStringLiteral("ab…efghijk")},     // 2 + 1 + 7 columns
        {QStringLiteral("图片图片图片图片"), QStringLiteral("图…片图片")}, // wide: two columns each
        {QStringLiteral("ab图片图片图片图片"), QStringLiteral("ab…片图片")},
        {QStringLiteral("𠀀𠀀𠀀𠀀𠀀𠀀"), QStringLiteral("𠀀…𠀀𠀀𠀀")}, // no surrogate pair split
    };
    for (const auto &[path, shortened] : cases)
        EXPECT_EQ(shortenedPath(path, 10), shortened) << path.toStdString();
}

TEST(EndReport, TwoListsShareTheBudget)
{
    struct Case {
        int first, second, budget;
        std::pair<int, int> shown;
    };
    const Case cases[] = {
        {3, 4, 15, {3, 4}},                            // both fit whole
        {10, 5, 15, {10, 5}},  {3, 500, 15, {3, 12}},  // the short list whole, the long one the rest
        {500, 3, 15, {12, 3}}, {500, 500, 15, {8, 7}}, // both long: the second keeps half
        {20, 10, 15, {8, 7}},  {0, 500, 15, {0, 15}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(sharedLineBudget(c.first, c.second, c.budget), c.shown) << c.first << ' ' << c.second;
}

TEST(EndReport, ThreeListsShareTheBudget)
{
    struct Case {
        std::vector<int> sizes;
        int budget;
        std::vector<int> shown;
    };
    const Case cases[] = {
        {{3, 4, 5}, 15, {3, 4, 5}},       {{2, 500, 500}, 15, {2, 7, 6}},   {{500, 1, 500}, 15, {7, 1, 7}},
        {{500, 500, 500}, 15, {5, 5, 5}}, {{500, 500, 500}, 16, {6, 5, 5}}, {{0, 0, 30}, 15, {0, 0, 15}},
        {{4, 30, 6}, 15, {4, 6, 5}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(sharedLineBudget(c.sizes, c.budget), c.shown) << ::testing::PrintToString(c.sizes);
}

TEST(EndReport, PagesWithoutTextHaveTheirOwnGroupAndAreNoWarning)
{
    const ReportEntry textless{QStringLiteral("/s/scan.jpg"), QStringLiteral("：未能识别文字（识别程序崩溃）")};
    const EndReport alone = endReportOf({}, {}, {textless}, false);
    EXPECT_EQ(alone.text,
              QStringLiteral("以下图片已转换，但未能识别其中的文字：\n/s/scan.jpg：未能识别文字（识别程序崩溃）"));
    EXPECT_FALSE(alone.warning); // the page is in the PDF

    const ReportEntry missing{QStringLiteral("/x.png"), QStringLiteral("：文件不存在")};
    const ReportEntry renamed{QStringLiteral("/b/a.jpg"), QStringLiteral(" -> a (2).pdf")};
    const EndReport all = endReportOf({missing}, {renamed}, {textless}, false);
    EXPECT_EQ(all.text,
              QStringLiteral("以下图片未能转换，已被跳过：\n/x.png：文件不存在\n\n"
                             "以下图片的PDF使用了其他名称：\n/b/a.jpg -> a (2).pdf\n\n"
                             "以下图片已转换，但未能识别其中的文字：\n/s/scan.jpg：未能识别文字（识别程序崩溃）"));
    EXPECT_TRUE(all.warning);

    const EndReport many = endReportOf({}, {}, entries(numbered(QStringLiteral("/p"), 40), textless.note), false);
    EXPECT_TRUE(many.text.contains(QStringLiteral("…另有 25 张")));
    EXPECT_TRUE(many.details.contains(QStringLiteral("/p40") + textless.note));
}

TEST(EndReport, ShortReportsHaveNoDetails)
{
    EXPECT_TRUE(endReportOf({}, {}, {}, false).text.isEmpty());

    const ReportEntry renamedOne{QStringLiteral("/b/a.jpg"), QStringLiteral(" -> a (2).pdf")};
    const EndReport renamed = endReportOf({}, {renamedOne}, {}, false);
    EXPECT_EQ(renamed.text, QStringLiteral("以下图片的PDF使用了其他名称：\n/b/a.jpg -> a (2).pdf"));
    EXPECT_TRUE(renamed.details.isEmpty());
    EXPECT_FALSE(renamed.warning); // every picture has its PDF

    const ReportEntry missingOne{QStringLiteral("/x.png"), QStringLiteral("：文件不存在")};
    const EndReport both = endReportOf({missingOne}, {renamedOne}, {}, false);
    EXPECT_EQ(both.text, QStringLiteral("以下图片未能转换，已被跳过：\n/x.png：文件不存在\n\n"
                                        "以下图片的PDF使用了其他名称：\n/b/a.jpg -> a (2).pdf"));
    EXPECT_TRUE(both.details.isEmpty());
    EXPECT_TRUE(both.warning);

    const EndReport nothing = endReportOf({}, {}, {}, true);
    EXPECT_EQ(nothing.text, QStringLiteral("没有生成PDF文件。"));
    EXPECT_TRUE(nothing.warning);
}

TEST(EndReport, LongListsAndPathsGoWholeToTheDetails)
{
    const QString reason = QStringLiteral("：图片太大（50000 x 50000，此类图片最多 626 百万像素）");
    std::vector<ReportEntry> leftOut =
        entries(QStringList{deepPath} + numbered(QStringLiteral("/missing/"), 500), reason);
    const auto renamed = entries(numbered(QStringLiteral("/b/a"), 3), QStringLiteral(" -> a (2).pdf"));
    const EndReport report = endReportOf(leftOut, renamed, {}, true);
    const QStringList lines = report.text.split(u'\n');
    // Heading, 12 names, the rest counted, an empty line; heading, 3 names, an empty line; the last line.
    EXPECT_EQ(lines.size(), 1 + 12 + 1 + 1 + 1 + 3 + 1 + 1);
    EXPECT_EQ(lines.at(1), shortenedPath(deepPath, kShownPathColumns) + reason); // the reason stays whole
    EXPECT_NE(shortenedPath(deepPath, kShownPathColumns), deepPath);
    EXPECT_TRUE(lines.contains(QStringLiteral("/missing/11") + reason));
    EXPECT_FALSE(lines.contains(QStringLiteral("/missing/12") + reason));
    EXPECT_TRUE(lines.contains(QStringLiteral("…另有 489 张")));
    EXPECT_TRUE(lines.contains(QStringLiteral("/b/a3 -> a (2).pdf")));
    EXPECT_EQ(lines.constLast(), QStringLiteral("没有生成PDF文件。"));
    const QStringList details = report.details.split(u'\n');
    leftOut.insert(leftOut.end(), renamed.begin(), renamed.end());
    for (const ReportEntry &entry : leftOut)
        EXPECT_TRUE(details.contains(entry.path + entry.note)) << entry.path.toStdString();
    EXPECT_FALSE(report.details.contains(QStringLiteral("另有")));
}

TEST(EndReport, ADeepPathAloneGoesWholeToTheDetails)
{
    const EndReport report = endReportOf({{deepPath, QStringLiteral("：文件不存在")}}, {}, {}, false);
    EXPECT_FALSE(report.text.contains(deepPath));
    EXPECT_TRUE(report.text.contains(QStringLiteral("/IMG_1.jpg：文件不存在")));
    EXPECT_TRUE(report.details.contains(deepPath + QStringLiteral("：文件不存在")));
}

} // namespace
} // namespace pagemint
