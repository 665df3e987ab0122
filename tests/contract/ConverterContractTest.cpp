// The program reads what the converter and the decoder write; these tests put each form the
// writing side produces through the reading side.
#include "contract/ConverterContract.h"
#include "contract/PageLayout.h"
#include "contract/StagedPages.h"
#include "contract/StagingFolder.h"
#include "conversion/ConversionRules.h"
#include "conversion/StagingPaths.h"
#include "process/CommandLine.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

using namespace pagemint;

namespace {
struct PageCase {
    int index;
    const char *name;
};
// Five digits, and past them the number still reads back.
constexpr PageCase pageCases[] = {
    {0, "00000.jpg"}, {4, "00004.jpg"}, {12, "00012.jpg"}, {99999, "99999.jpg"}, {123456, "123456.jpg"}};
} // namespace

TEST(ConverterContract, StagedPageNamesReadBackAsTheirIndex)
{
    for (const PageCase &c : pageCases) {
        EXPECT_EQ(stagedPageName(c.index), c.name);
        EXPECT_TRUE(isStagedPageName(c.name)) << c.name;
        EXPECT_EQ(stagedPageIndex(stagedPageName(c.index)), c.index) << c.name;
        EXPECT_EQ(stagedPagePath(c.index).filename().string(), c.name);
    }
    for (const char *other : {"tmp.pdf", ".jpg", "00001.jpg.part", "00001.JPG", "1a.jpg", "99999999999.jpg"})
        EXPECT_EQ(stagedPageIndex(other), std::nullopt) << other;
}

TEST(ConverterContract, ProgressLinesMoveTheProgramsBarToTheirPage)
{
    for (const PageCase &c : pageCases) {
        const QString line = QString::fromStdString(progressLine(stagedPageName(c.index), 200000));
        EXPECT_EQ(pageNumberOf(pageWordOf(line)), c.index) << line.toStdString();
    }
}

TEST(ConverterContract, LeftOutLinesReachTheEndReportWithTheirReason)
{
    // Reasons may hold colons and spaces; the program reads the whole rest of the line.
    const std::string reasons[] = {"empty file", "truncated (no end marker)", "unsupported: 12-bit samples"};
    std::string output = progressLine(stagedPageName(0), 3);
    for (int i = 0; i < 3; ++i)
        output += leftOutLine(stagedPageName(pageCases[i + 1].index), reasons[i]);
    const std::map<int, QString> pages = leftOutPagesOf(QString::fromStdString(output));
    ASSERT_EQ(pages.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(pages.at(pageCases[i + 1].index), QString::fromStdString(reasons[i]));
    // A file the converter names that is not a staged page names no picture of the list.
    EXPECT_TRUE(leftOutPagesOf(QString::fromStdString(leftOutLine("notes.txt", "not a page"))).empty());
}

TEST(ConverterContract, TheCommandLineStartsTheConverterOnTheStagingFolder)
{
    const QStringList words = splitCommandLine(converterCommandLine(QStringLiteral("/opt/my app")));
    ASSERT_EQ(words.size(), 2);
    EXPECT_EQ(QFileInfo(words[0]).fileName().toStdString(), kConverterFileName);
    EXPECT_EQ(words[0], QStringLiteral("/opt/my app/data/pdf.exe"));
    EXPECT_EQ(words[1].toStdString(), kConverterStagingArgument);
    EXPECT_EQ(stagingFilePath(kConverterOutputName), QString::fromStdString((stagingFolder() / "tmp.pdf").string()));
}

TEST(ConverterContract, TheLayoutOnTheCommandLineReachesTheConverterAsItWasChosen)
{
    const PageLayout layouts[] = {
        {Paper::A4, PageOrientation::Auto, 10, PageFit::Fit},
        {Paper::A5, PageOrientation::Portrait, 0, PageFit::Shrink},
        {Paper::B5, PageOrientation::Landscape, kMaxMarginMm, PageFit::Fit},
        {Paper::Letter, PageOrientation::Auto, 5, PageFit::Shrink},
        {Paper::Legal, PageOrientation::Landscape, 15, PageFit::Fit},
        {Paper::Picture, PageOrientation::Auto, 20, PageFit::Shrink},
    };
    for (const PageLayout &layout : layouts) {
        SCOPED_TRACE(std::string(paperWord(layout.paper)));
        const QStringList words = splitCommandLine(converterCommandLine(QStringLiteral("/opt/my app"), layout));
        ASSERT_EQ(words.size(), 6);
        EXPECT_EQ(words[0], QStringLiteral("/opt/my app/data/pdf.exe"));
        EXPECT_EQ(words.last().toStdString(), kConverterStagingArgument);
        std::vector<std::string> held;
        for (const QString &word : words.mid(1, 4))
            held.push_back(word.toStdString());
        const std::vector<std::string_view> arguments(held.begin(), held.end());
        EXPECT_TRUE(std::all_of(arguments.begin(), arguments.end(), isLayoutArgument));
        EXPECT_EQ(parseLayoutArguments(arguments), layout);
    }
    // The original paper adds nothing: the converter runs as it did before there were layouts.
    EXPECT_TRUE(layoutArguments({}).empty());
    EXPECT_EQ(converterCommandLine(QStringLiteral("/opt"), {}), converterCommandLine(QStringLiteral("/opt")));
    EXPECT_EQ(parseLayoutArguments({}), PageLayout{});
}

TEST(ConverterContract, EachLayoutWordReadsBackAsItsChoiceAndNothingElseDoes)
{
    for (Paper paper : {Paper::Original, Paper::A4, Paper::A5, Paper::B5, Paper::Letter, Paper::Legal, Paper::Picture})
        EXPECT_EQ(paperFromWord(paperWord(paper)), paper) << paperWord(paper);
    for (PageOrientation o : {PageOrientation::Auto, PageOrientation::Portrait, PageOrientation::Landscape})
        EXPECT_EQ(orientationFromWord(orientationWord(o)), o) << orientationWord(o);
    for (PageFit fit : {PageFit::Fit, PageFit::Shrink})
        EXPECT_EQ(fitFromWord(fitWord(fit)), fit) << fitWord(fit);
    for (int mm : {0, 1, 25, kMaxMarginMm})
        EXPECT_EQ(marginFromWord(std::to_string(mm)), mm);
    for (const char *bad : {"", "A3", "A44", "picture ", "auto-rotate"}) {
        EXPECT_EQ(paperFromWord(bad), std::nullopt) << bad;
        EXPECT_EQ(orientationFromWord(bad), std::nullopt) << bad;
        EXPECT_EQ(fitFromWord(bad), std::nullopt) << bad;
    }
    for (const char *bad : {"", "-1", "51", "1.5", "10mm", " 10", "99999999999"})
        EXPECT_EQ(marginFromWord(bad), std::nullopt) << bad;
    for (const char *bad : {"--paper=A3", "--margin-mm=x", "--fit=", "--orientation=upside"})
        EXPECT_EQ(parseLayoutArguments({bad}), std::nullopt) << bad;
}

TEST(ConverterContract, TemporaryNamesAreNeverPagesOrOutputs)
{
    const std::string temporaries[] = {
        stagedPageName(3) + std::string(kPartialPageSuffix), stagedPageName(3) + std::string(kStagedAheadSuffix),
        converterTemporaryName(kConverterOutputName), std::string(kDeliveryTemporaryPrefix) + "a1B2c3"};
    for (const std::string &name : temporaries) {
        EXPECT_FALSE(isStagedPageName(name)) << name;
        EXPECT_NE(name, kConverterOutputName);
        EXPECT_FALSE(name.ends_with(".pdf")) << name;
    }
}
