// The text layer's rules as plain functions: how a line's words join, how a turn adds to the EXIF
// orientation, the codes the font is written in, the empty font itself, and reading the staged
// text file.
#include "GlyphlessFont.h"
#include "PagePlacement.h"
#include "PageTextFile.h"
#include "TextJoining.h"
#include "TextLayer.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRawFont>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <sys/stat.h>

using namespace pagemint;

TEST(TextJoining, CjkNeighboursJoinWithoutASpaceAndAllOthersWithOne)
{
    struct Case {
        const char *left, *right;
        bool joined;
    };
    const Case cases[] = {
        {"短", "期", true},     // Han, as the recogniser gives it: one character a word
        {"负荷", "预测", true}, // longer Han words
        {"𠮷", "野", true},     // past U+FFFF
        {"中文", "。", true},   // CJK punctuation
        {"（", "注", true},     // fullwidth forms
        {"ひら", "カタ", true}, // kana
        {"한", "국", true},     // Hangul
        {"Load", "forecasting", false},
        {"中", "PDF", false}, // Han beside Latin
        {"PDF", "文件", false},
        {"2024", "年", false},    // digits are not CJK
        {"abc中", "文def", true}, // only the characters that meet count
        {"中abc", "def文", false},
        {"é", "ü", false},
        {"工作", ",", true}, // ASCII punctuation read alone beside Han
        {",", "它", true},
        {"预测", "(", true},
        {"Load", ",", false}, // beside Latin words the space stays
        {",", "and", false},
        {"中", ",a", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.left) + " | " + c.right);
        EXPECT_EQ(joinsWithoutSpace(c.left, c.right), c.joined);
    }
}

TEST(TextJoining, WideCharactersTakeAFullEm)
{
    EXPECT_TRUE(isWide(U'中'));
    EXPECT_TRUE(isWide(U'，'));
    EXPECT_TRUE(isWide(U'\U00020BB7'));
    EXPECT_FALSE(isWide(U'a'));
    EXPECT_FALSE(isWide(U'ｶ')); // halfwidth katakana: CJK, but half an em
    EXPECT_TRUE(isCjk(U'ｶ'));
    EXPECT_EQ(codePoints("a中\xF0\xA0\xAE\xB7"), std::u32string(U"a中\U00020BB7"));
    EXPECT_EQ(codePoints("a\xE4\xB8"), std::u32string(U"a\uFFFD\uFFFD")); // cut short
}

TEST(TurnedOrientation, AddsAClockwiseTurnToEveryExifOrientation)
{
    // Worked out on paper: a mirror, then the EXIF turn, then the further turn.
    struct Case {
        int orientation, turn, result;
    };
    const Case cases[] = {
        {1, 0, 1},  {1, 90, 6},  {1, 180, 3}, {1, 270, 8}, {6, 90, 3}, {6, 270, 1}, {3, 180, 1}, {8, 90, 1},
        {2, 90, 7}, {2, 180, 4}, {7, 90, 4},  {4, 90, 5},  {5, 90, 2}, {5, 270, 4}, {9, 90, 6}, // not an orientation:
                                                                                                // upright
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.orientation << " + " << c.turn);
        EXPECT_EQ(turnedOrientation(c.orientation, c.turn), c.result);
    }
}

TEST(TextCodes, EachCharacterKeepsItsCodeAndTheCodesRunOutToZero)
{
    TextCodes codes;
    EXPECT_EQ(codes.code(U'中'), 1);
    EXPECT_EQ(codes.code(U'a'), 2);
    EXPECT_EQ(codes.code(U'中'), 1);
    for (char32_t c = 0x10000; codes.characters().size() < 0xFFFF; ++c)
        codes.code(c);
    EXPECT_EQ(codes.code(U'文'), 0) << "past the last two-byte code";
    EXPECT_EQ(codes.code(U'a'), 2);
    EXPECT_EQ(codes.characters().size(), 0xFFFFu);
}

TEST(GlyphlessFont, IsAWholeTrueTypeFontThatFreeTypeLoads)
{
    const std::string font = glyphlessTrueType();
    const auto word = [&](std::size_t at) {
        std::uint32_t value = 0;
        for (std::size_t k = 0; k < 4; ++k)
            value = (value << 8U) | (at + k < font.size() ? static_cast<unsigned char>(font[at + k]) : 0U);
        return value;
    };
    // The whole font sums to the magic value once the head table's adjustment is in.
    std::uint32_t sum = 0;
    for (std::size_t at = 0; at < font.size(); at += 4)
        sum += word(at);
    EXPECT_EQ(sum, 0xB1B0AFBAu);
    ASSERT_GE(font.size(), 12u);
    EXPECT_EQ(font.size() % 4, 0u);

    const QRawFont raw(QByteArray(font.data(), qsizetype(font.size())), 12);
    ASSERT_TRUE(raw.isValid());
    EXPECT_EQ(raw.unitsPerEm(), 1000);
    EXPECT_NEAR(raw.ascent(), 12 * 0.8, 1.0 / 64); // FreeType keeps 1/64 of a pixel
}

TEST(PageTextFile, ReadsAFileAndRefusesWhatIsNoRegularFileOfTheFormat)
{
    QTemporaryDir dir;
    const auto path = [&](const char *name) {
        return std::filesystem::path(dir.filePath(QLatin1String(name)).toStdString());
    };
    const auto write = [&](const char *name, const QByteArray &bytes) {
        QFile file(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write("good.txt", "pagemint-text 1\nsize 10 10\nturn 90\nline 0 0 10 5 4\nword 0 0 4 5 ab\n");
    write("bad.txt", "pagemint-text 1\nsize 10 10\nturn 45\n");
    write("large.txt", QByteArray(qsizetype(kMaxPageTextBytes) + 1, 'x'));
    ASSERT_EQ(::mkfifo(path("pipe.txt").c_str(), 0600), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.txt")));

    PageText text;
    std::string problem;
    EXPECT_EQ(readPageTextFile(path("good.txt"), text, problem), PageTextFile::Read);
    EXPECT_EQ(text.turn, 90);
    ASSERT_EQ(text.lines.size(), 1u);
    EXPECT_EQ(text.lines[0].words[0].text, "ab");
    EXPECT_EQ(readPageTextFile(path("missing.txt"), text, problem), PageTextFile::Absent);
    struct Refused {
        const char *name, *problem;
    };
    for (const Refused &r : {Refused{"bad.txt", "bad turn"}, Refused{"large.txt", "too large"},
                             Refused{"pipe.txt", "not a regular file"}, Refused{"folder.txt", ""}}) {
        SCOPED_TRACE(r.name);
        problem.clear();
        // A pipe nobody writes to must not hold the conversion up.
        EXPECT_EQ(readPageTextFile(path(r.name), text, problem), PageTextFile::Refused);
        EXPECT_NE(problem.find(r.problem), std::string::npos) << problem;
        EXPECT_FALSE(problem.empty());
    }
}
