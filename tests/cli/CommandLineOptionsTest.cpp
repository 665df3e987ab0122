// Reading the command line's arguments, choosing where its PDFs go, and its progress lines: plain
// functions, no run.
#include "TestEnvironment.h"

#include "cli/CommandLineOptions.h"
#include "cli/ConsoleProgress.h"
#include "cli/OutputTarget.h"

#include <gtest/gtest.h>

#include <functional>

namespace pagemint::test {
namespace {

struct ParseCase {
    const char *name;
    QStringList arguments;
    std::function<bool(const CommandLineRequest &)> holds;
};

class GoodArguments : public ::testing::TestWithParam<ParseCase> {};

TEST_P(GoodArguments, AreRead)
{
    const ParsedCommandLine parsed = parseCommandLine(GetParam().arguments);
    EXPECT_TRUE(parsed.problem.isEmpty()) << parsed.problem.toStdString();
    EXPECT_TRUE(GetParam().holds(parsed.request));
}

using Request = CommandLineRequest;
const QString a = QStringLiteral("a.jpg");
const QString b = QStringLiteral("folder");

INSTANTIATE_TEST_SUITE_P(
    Cases, GoodArguments,
    ::testing::Values(
        ParseCase{"Defaults",
                  {a},
                  [](const Request &r) {
                      return r.action == Request::Action::Convert && r.inputs == QStringList{a} && !r.output &&
                             !r.onePdfPerPicture && !r.overwrite && !r.quiet && !r.paper && !r.orientation &&
                             !r.marginMm && !r.fit && !r.recognition && !r.upright;
                  }},
        ParseCase{"PicturesKeepTheirOrderAmongOptions",
                  {b, QStringLiteral("--each"), a, QStringLiteral("-q")},
                  [](const Request &r) {
                      return r.inputs == QStringList{b, a} && r.onePdfPerPicture && r.quiet;
                  }},
        ParseCase{"TheLastModeCounts",
                  {QStringLiteral("--each"), QStringLiteral("--merge"), a},
                  [](const Request &r) { return !r.onePdfPerPicture; }},
        ParseCase{"OutputAsNextArgument",
                  {QStringLiteral("-o"), QStringLiteral("out.pdf"), a},
                  [](const Request &r) { return r.output == QStringLiteral("out.pdf") && r.inputs == QStringList{a}; }},
        ParseCase{"OutputAttached",
                  {QStringLiteral("-oout"), a},
                  [](const Request &r) { return r.output == QStringLiteral("out"); }},
        ParseCase{"OutputLongWithEquals",
                  {QStringLiteral("--output=x=y"), a},
                  [](const Request &r) { return r.output == QStringLiteral("x=y"); }},
        ParseCase{"LayoutWordsInAnyCase",
                  {QStringLiteral("--paper"), QStringLiteral("a4"), QStringLiteral("--orientation=LANDSCAPE"),
                   QStringLiteral("--margin"), QStringLiteral("10"), QStringLiteral("--fit"), QStringLiteral("shrink"),
                   a},
                  [](const Request &r) {
                      return r.paper == Paper::A4 && r.orientation == PageOrientation::Landscape && r.marginMm == 10 &&
                             r.fit == PageFit::Shrink;
                  }},
        ParseCase{
            "Recognition",
            {QStringLiteral("--ocr"), QStringLiteral("chi_sim+eng"), QStringLiteral("--upright"), a},
            [](const Request &r) { return r.recognition == Recognition::ChineseAndEnglish && r.upright == true; }},
        ParseCase{"RecognitionOffAndNoTurn",
                  {QStringLiteral("--ocr=off"), QStringLiteral("--upright"), QStringLiteral("--no-upright"), a},
                  [](const Request &r) { return r.recognition == Recognition::Off && r.upright == false; }},
        ParseCase{"DoubleDashEndsOptions",
                  {QStringLiteral("--overwrite"), QStringLiteral("--"), QStringLiteral("--each"), QStringLiteral("-o")},
                  [](const Request &r) {
                      return r.overwrite && !r.onePdfPerPicture &&
                             r.inputs == QStringList{QStringLiteral("--each"), QStringLiteral("-o")};
                  }},
        ParseCase{"HelpWinsOverFaults",
                  {QStringLiteral("--bogus"), QStringLiteral("-h")},
                  [](const Request &r) { return r.action == Request::Action::Help; }},
        ParseCase{"VersionNeedsNoPicture",
                  {QStringLiteral("--version")},
                  [](const Request &r) { return r.action == Request::Action::Version; }}),
    [](const ::testing::TestParamInfo<ParseCase> &testCase) { return std::string(testCase.param.name); });

struct FaultCase {
    const char *name;
    QStringList arguments;
    QString named; // what the message must name
};

class BadArguments : public ::testing::TestWithParam<FaultCase> {};

TEST_P(BadArguments, AreNamed)
{
    const ParsedCommandLine parsed = parseCommandLine(GetParam().arguments);
    EXPECT_EQ(parsed.request.action, CommandLineRequest::Action::Convert);
    EXPECT_TRUE(parsed.problem.contains(GetParam().named)) << parsed.problem.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadArguments,
    ::testing::Values(
        FaultCase{"UnknownOption", {QStringLiteral("--colour"), a}, QStringLiteral("--colour")},
        FaultCase{"BadPaper", {QStringLiteral("--paper=A3"), a}, QStringLiteral("A3")},
        FaultCase{"MarginOutOfRange", {QStringLiteral("--margin"), QStringLiteral("51"), a}, QStringLiteral("51")},
        FaultCase{"BadRecognition", {QStringLiteral("--ocr"), QStringLiteral("fra"), a}, QStringLiteral("fra")},
        FaultCase{"MissingValue", {a, QStringLiteral("-o")}, QStringLiteral("-o")},
        FaultCase{"EmptyOutput", {QStringLiteral("--output="), a}, QStringLiteral("--output")},
        FaultCase{"FlagWithValue", {QStringLiteral("--each=yes"), a}, QStringLiteral("--each")},
        FaultCase{"NoPicture", {QStringLiteral("--each")}, QStringLiteral("图片")}),
    [](const ::testing::TestParamInfo<FaultCase> &testCase) { return std::string(testCase.param.name); });

TEST(CommandLineRequest, OptionsGivenLieOverTheStoredChoices)
{
    const PageLayout stored{Paper::Letter, PageOrientation::Portrait, 20, PageFit::Shrink};
    CommandLineRequest request;
    EXPECT_EQ(request.layoutOver(stored), stored);
    request.marginMm = 0;
    request.paper = Paper::A5;
    EXPECT_EQ(request.layoutOver(stored), (PageLayout{Paper::A5, PageOrientation::Portrait, 0, PageFit::Shrink}));

    const TextChoice storedText{Recognition::English, true};
    EXPECT_EQ(request.textOver(storedText), storedText);
    request.upright = false;
    EXPECT_EQ(request.textOver(storedText), (TextChoice{Recognition::English, false}));
}

TEST(CommandLineHelp, DescribesEveryOptionTheParserTakes)
{
    const QString help = commandLineHelp();
    for (const char *option :
         {"-o, --output", "--merge", "--each", "--paper", "--orientation", "--margin", "--fit", "--ocr", "--upright",
          "--no-upright", "--overwrite", "-q, --quiet", "-h, --help", "--version"})
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
}

struct TargetCase {
    const char *name;
    QString output;
    bool each;
    QString folder; // expected, under /work; empty: refused
    QString stem;
};

class OutputTargets : public ::testing::TestWithParam<TargetCase> {};

TEST_P(OutputTargets, AreChosen)
{
    const TargetCase &c = GetParam();
    // "/work/existing.pdf" is a folder of that name.
    const OutputTarget target =
        outputTargetOf(c.output, c.each, QStringLiteral("/stored/Output"), QStringLiteral("/work"),
                       [](const QString &path) { return path == QStringLiteral("/work/existing.pdf"); });
    if (c.folder.isEmpty()) {
        EXPECT_FALSE(target.problem.isEmpty());
        return;
    }
    EXPECT_TRUE(target.problem.isEmpty()) << target.problem.toStdString();
    EXPECT_EQ(target.folder, c.folder);
    EXPECT_EQ(target.stem, c.stem);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OutputTargets,
    ::testing::Values(TargetCase{"NoneGivenIsTheStoredFolder", {}, false, "/stored/Output", "NewPDF"},
                      TargetCase{"RelativeFolder", "out", false, "/work/out", "NewPDF"},
                      TargetCase{"DocumentName", "sub/Scan 1.PDF", false, "/work/sub", "Scan 1"},
                      TargetCase{"AbsoluteDocument", "/tmp/x.pdf", false, "/tmp", "x"},
                      TargetCase{"FolderNamedLikeAPdf", "existing.pdf", false, "/work/existing.pdf", "NewPDF"},
                      TargetCase{"TrailingSlashSaysFolder", "new.pdf/", false, "/work/new.pdf", "NewPDF"},
                      TargetCase{"FolderForEach", "out", true, "/work/out", "NewPDF"},
                      TargetCase{"DocumentForEachIsRefused", "x.pdf", true, {}, {}},
                      TargetCase{"NameWithoutStemIsRefused", ".pdf", false, {}, {}}),
    [](const ::testing::TestParamInfo<TargetCase> &testCase) { return std::string(testCase.param.name); });

TEST(ConsoleProgress, TheBarFillsByWholeColumnsAndIsFullOnlyAtTheEnd)
{
    EXPECT_EQ(pictureBarLine(0, 3), QStringLiteral("[------------------------------] 0/3 张图片"));
    EXPECT_EQ(pictureBarLine(1, 3), QStringLiteral("[##########--------------------] 1/3 张图片"));
    EXPECT_EQ(pictureBarLine(99, 100).count(u'#'), 29);
    EXPECT_EQ(pictureBarLine(100, 100).count(u'#'), kProgressBarColumns);
    // The count keeps its width, so the bar does not jump while it grows.
    EXPECT_EQ(pictureBarLine(7, 120).size(), pictureBarLine(120, 120).size());
    EXPECT_EQ(converterBarLine(0.5), QStringLiteral("生成PDF [###############---------------]  50%"));
    EXPECT_EQ(pictureDoneLine(3, 10, QStringLiteral("a/b.png")), QStringLiteral("已处理 3/10：a/b.png"));
}

} // namespace
} // namespace pagemint::test
