// The recogniser writes a page's text and the converter reads it: what one writes the other reads
// back, and what a recogniser fooled by a hostile picture might write is refused whole.
#include "contract/PageText.h"
#include "contract/TextRecognition.h"

#include <gtest/gtest.h>

using namespace pagemint;

namespace {
PageText twoLines()
{
    PageText page{1000, 800, 90, {}};
    page.lines.push_back({{10, 20, 400, 60}, 52, {{{10, 20, 40, 60}, "短期"}, {{42, 20, 80, 60}, "负荷"}}});
    page.lines.push_back(
        {{10, 100, 500, 140}, 132, {{{10, 100, 200, 140}, "Load"}, {{210, 100, 500, 140}, "forecasting,"}}});
    return page;
}
} // namespace

TEST(PageText, WhatIsWrittenReadsBack)
{
    for (const PageText &page : {twoLines(), PageText{1, 1, 0, {}}}) {
        std::string problem;
        const std::optional<PageText> read = parsePageText(writePageText(page), problem);
        ASSERT_TRUE(read) << problem;
        EXPECT_EQ(*read, page);
    }
}

TEST(PageText, WordsThatWouldBreakTheFormAreLeftOut)
{
    PageText page{100, 100, 0, {}};
    page.lines.push_back(
        {{0, 0, 50, 50}, 40, {{{0, 0, 10, 10}, "a b"}, {{0, 0, 10, 10}, "x\ny"}, {{0, 0, 10, 10}, ""}}});
    page.lines.push_back({{0, 0, 50, 50}, 40, {{{0, 0, 10, 10}, "\xff\xfe"}, {{0, 0, 10, 10}, "ok"}}});
    std::string problem;
    const std::optional<PageText> read = parsePageText(writePageText(page), problem);
    ASSERT_TRUE(read) << problem;
    ASSERT_EQ(read->lines.size(), 1U);
    ASSERT_EQ(read->lines[0].words.size(), 1U);
    EXPECT_EQ(read->lines[0].words[0].text, "ok");
}

TEST(PageText, AnythingOutOfFormIsRefusedWhole)
{
    const std::string head = "pagemint-text 1\nsize 100 50\nturn 0\n";
    const char *const cases[] = {
        "",
        "pagemint-text 2\nsize 100 50\nturn 0\n",
        "pagemint-text 1\nturn 0\nsize 100 50\n",
        "pagemint-text 1\nsize 100 50\n",
        "pagemint-text 1\nsize 0 50\nturn 0\n",
        "pagemint-text 1\nsize 100 50\nturn 45\n",
        "pagemint-text 1\nsize 100 50\nturn 0",
        "pagemint-text 1\nsize 99999999999 50\nturn 0\n",
        "pagemint-text 1\nsize 100 50\nturn 0\nword 0 0 10 10 a\n",
        "pagemint-text 1\nsize 100 50\nturn 0\nline 0 0 10 10 5\n",
        "pagemint-text 1\nsize 100 50\nturn 0\nline 0 0 101 10 5\nword 0 0 10 10 a\n",
        "pagemint-text 1\nsize 100 50\nturn 0\nline 10 0 10 10 5\nword 0 0 10 10 a\n",
        "pagemint-text 1\nsize 100 50\nturn 0\nline 0 0 10 10 11\nword 0 0 10 10 a\n",
        "pagemint-text 1\nsize 100 50\nturn 0\nline -1 0 10 10 5\nword 0 0 10 10 a\n",
        "pagemint-text 1\nsize 100 50\nturn 0\nline 0 0 10 10 5\nword 0 0 10 60 a\n",
        "pagemint-text 1\nsize 100 50\nturn 0\nline 0 0 10 10 5\nword 0 0 10 10 a b\n",
        "pagemint-text 1\nsize 100 50\nturn 0\nline 0 0 10 10 5\nword 0 0 10 10 \x01\n",
        "pagemint-text 1\nsize 100 50\nturn 0\nline 0 0 10 10 5\nword 0 0 10 10 \xc0\xaf\n",
        "pagemint-text 1\nsize 100 50\nturn 0\nline 0 0 10 10 5\nword 0 0 10 10\n",
        "pagemint-text 1\nsize 100 50\nturn 0\nline 0 0 10 10 5 x\nword 0 0 10 10 a\n",
        "pagemint-text 1\nsize 100 50\nturn 0\nline 0 0 10 10 5\nword 0 0 10 10 a\nsize 1 1\n",
    };
    for (const char *file : cases) {
        std::string problem;
        EXPECT_FALSE(parsePageText(file, problem)) << file;
        EXPECT_FALSE(problem.empty()) << file;
    }
    std::string problem;
    EXPECT_TRUE(parsePageText(head + "line 0 0 10 10 5\nword 0 0 10 10 a\n", problem)) << problem;
}

TEST(PageText, LimitsBindTheReader)
{
    std::string file = "pagemint-text 1\nsize 100 50\nturn 0\nline 0 0 10 10 5\n";
    for (std::size_t i = 0; i <= kMaxWordsPerLine; ++i)
        file += "word 0 0 10 10 a\n";
    std::string problem;
    EXPECT_FALSE(parsePageText(file, problem));
    EXPECT_FALSE(parsePageText(std::string(kMaxPageTextBytes + 1, 'a'), problem));
}

TEST(PageText, TextNamesFollowTheirPage)
{
    EXPECT_EQ(stagedTextName(4), "00004.txt");
    EXPECT_EQ(stagedTextNameForPage("123456.jpg"), "123456.txt");
    EXPECT_EQ(stagedTextNameForPage("00004.jpg.ahead"), std::nullopt);
    EXPECT_EQ(stagedTextNameForPage("tmp.pdf"), std::nullopt);
}

TEST(TextRecognition, RecognizerArgumentsReadBack)
{
    const RecognizerRequest requests[] = {
        {Recognition::ChineseAndEnglish, true, 90, {"/opt/models", "/usr/share/tessdata"}},
        {Recognition::English, false, 0, {}},
        {Recognition::Off, true, 0, {"/m"}},
        {Recognition::English, true, 270, {"/m"}},
    };
    for (const RecognizerRequest &request : requests) {
        const std::vector<std::string> arguments = recognizerArguments(request);
        const std::vector<std::string_view> views(arguments.begin(), arguments.end());
        EXPECT_EQ(parseRecognizerArguments(views), request) << arguments.size();
    }
    const std::vector<std::vector<std::string_view>> refused = {{},
                                                                {"--models=/m"},
                                                                {"--languages=off"},
                                                                {"--languages=fra"},
                                                                {"--upright", "--models="},
                                                                {"--upright=yes"},
                                                                {"--upright", "--turn=45"},
                                                                {"--upright", "--turn=360"},
                                                                {"--upright", "--turn=-90"},
                                                                {"--upright", "--turn=9x"}};
    for (const auto &arguments : refused)
        EXPECT_EQ(parseRecognizerArguments(arguments), std::nullopt) << arguments.size();
    EXPECT_EQ(recognitionFromWord("CHI_SIM+ENG"), Recognition::ChineseAndEnglish);
    EXPECT_EQ(recognitionFromWord(recognitionWord(Recognition::Off)), Recognition::Off);
    EXPECT_EQ(recognitionFromWord("chi_sim"), std::nullopt);
}
