// Which staged files are pages and in what order, and the fixed console line forms.
#include "contract/StagedPages.h"
#include "ConsoleLines.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace pagemint;

TEST(StagedPages, PageNamesAreDigitsAndDotJpg)
{
    const std::pair<const char *, bool> cases[] = {
        {"00001.jpg", true}, {"7.jpg", true},   {"123456789012345678901234.jpg", true},
        {".jpg", false},     {"1.JPG", false},  {"1.jpeg", false},
        {"a1.jpg", false},   {"1a.jpg", false}, {"1.jpg.tmp", false},
        {"-1.jpg", false},   {" 1.jpg", false}, {"tmp.pdf", false},
    };
    for (const auto &[name, expected] : cases)
        EXPECT_EQ(isStagedPageName(name), expected) << name;
}

TEST(StagedPages, ListsPagesInNumericOrderSkippingOtherEntries)
{
    QTemporaryDir dir;
    for (const char *name : {"00010.jpg", "9.jpg", "00002.jpg", "100.jpg", "notes.txt", "00003.png", "tmp.pdf"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QDir(dir.path()).mkdir(QStringLiteral("00004.jpg")); // a folder is not a page

    std::error_code error;
    std::vector<std::string> names;
    for (const auto &path : stagedPages(dir.path().toStdString(), error))
        names.push_back(path.filename().string());
    EXPECT_FALSE(error);
    EXPECT_EQ(names, (std::vector<std::string>{"00002.jpg", "9.jpg", "00010.jpg", "100.jpg"}));

    stagedPages(dir.filePath(QStringLiteral("missing")).toStdString(), error);
    EXPECT_TRUE(error);
}

TEST(StagedPages, NumericOrderHandlesLongNumbersAndLeadingZeros)
{
    EXPECT_TRUE(stagedPageBefore("99999999999999999999.jpg", "100000000000000000000.jpg"));
    EXPECT_FALSE(stagedPageBefore("100000000000000000000.jpg", "99999999999999999999.jpg"));
    EXPECT_TRUE(stagedPageBefore("0.jpg", "00001.jpg"));
    // Same number: a fixed order all the same.
    EXPECT_NE(stagedPageBefore("01.jpg", "1.jpg"), stagedPageBefore("1.jpg", "01.jpg"));
}

TEST(ConsoleLines, KeepTheirFixedForms)
{
    EXPECT_EQ(progressLine(displayName("/some/folder/00003.jpg"), 12), "page 00003.jpg of 12\n");
    EXPECT_EQ(leftOutLine("00003.jpg", "空文件"), "left-out:00003.jpg:空文件\n");
    // A reason in the user's words, with the system's own text (and its colons) in brackets,
    // reads back whole.
    const std::string reason = "无法读取文件（Input/output error: 5）";
    const std::string line = leftOutLine("00003.jpg", reason);
    const auto notice = parseLeftOutLine(std::string_view(line).substr(0, line.size() - 1));
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->name, "00003.jpg");
    EXPECT_EQ(notice->reason, reason);
    EXPECT_EQ(displayName("/x/bad\nname\t.jpg"), "bad?name?.jpg");
}
