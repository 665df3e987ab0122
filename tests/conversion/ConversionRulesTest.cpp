#include "conversion/ConversionRules.h"
#include "conversion/DocumentProperties.h"

#include <QSet>
#include <gtest/gtest.h>

namespace pagemint {
namespace {

TEST(ConversionRules, PageWordIsTheLastWordEndingInJpg)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("page 00001.jpg of 4\npage 00002.jpg of 4\n"), QStringLiteral("00002.jpg")},
        {QStringLiteral("page 00003.JPG of 4"), QStringLiteral("00003.JPG")},
        {QStringLiteral("page 00003.jpg\nof 4"), QString()}, // a line break after .jpg joins the next word
        {QStringLiteral("left-out:00002.jpg:truncated"), QString()},
        {QStringLiteral("nothing here"), QString()},
        {QStringLiteral("x  00004.jpg"), QStringLiteral("00004.jpg")},
    };
    for (const auto &[chunk, word] : cases)
        EXPECT_EQ(pageWordOf(chunk), word) << chunk.toStdString();
}

TEST(ConversionRules, PageNumberReadsTheLeadingDigits)
{
    const std::pair<QString, int> cases[] = {
        {QStringLiteral("00003.jpg"), 3},
        {QStringLiteral("\n00012.jpg"), 12},
        {QStringLiteral("12a.jpg"), 12},
        {QStringLiteral("/tmp/00003.jpg"), 0},
        {QString(), 0},
        {QStringLiteral(".jpg"), 0},
    };
    for (const auto &[word, number] : cases)
        EXPECT_EQ(pageNumberOf(word), number) << word.toStdString();
}

TEST(ConversionRules, Percentages)
{
    EXPECT_EQ(
        (std::vector<int>{stagingPercent(0, 4), stagingPercent(1, 4), stagingPercent(2, 4), stagingPercent(3, 4)}),
        (std::vector<int>{0, 33, 66, 100}));
    EXPECT_EQ(stagingPercent(0, 1), 100); // one picture: no division by zero
    EXPECT_EQ(converterPercent(2, 4), 50);
    EXPECT_EQ(converterPercent(3, 4), 75);
    EXPECT_EQ(converterPercent(1, 8), 12); // 12.5, halves to even
    EXPECT_EQ(converterPercent(3, 8), 38); // 37.5
}

TEST(ConversionRules, FirstFreeNewPdfName)
{
    QSet<QString> taken;
    const auto exists = [&](const QString &path) { return taken.contains(path); };
    EXPECT_EQ(freeNewPdfName(QStringLiteral("/o"), exists), QStringLiteral("/o/NewPDF.pdf"));
    taken = {QStringLiteral("/o/NewPDF1.pdf")};
    EXPECT_EQ(freeNewPdfName(QStringLiteral("/o"), exists), QStringLiteral("/o/NewPDF.pdf"));
    taken = {QStringLiteral("/o/NewPDF.pdf"), QStringLiteral("/o/NewPDF1.pdf")};
    EXPECT_EQ(freeNewPdfName(QStringLiteral("/o"), exists), QStringLiteral("/o/NewPDF2.pdf"));
    EXPECT_EQ(freeNewPdfName(QStringLiteral("/o"), [](const QString &) { return true; }), QString());
    // Another stem, the same way.
    taken = {QStringLiteral("/o/scan.pdf")};
    EXPECT_EQ(freePdfName(QStringLiteral("/o"), QStringLiteral("scan"), exists), QStringLiteral("/o/scan1.pdf"));
}

TEST(ConversionRules, LeftOutLinesAndCommandLine)
{
    const auto pages =
        leftOutPagesOf(QStringLiteral("page 00000.jpg of 2\nleft-out:00001.jpg:truncated (no end marker)\n"
                                      "left-out:00004.jpg:empty file\n"));
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages.at(1), QStringLiteral("truncated (no end marker)"));
    EXPECT_EQ(pages.at(4), QStringLiteral("empty file"));
    EXPECT_EQ(converterCommandLine(QStringLiteral("/opt/my app")),
              QStringLiteral("\"/opt/my app/data/pdf.exe\" /NOASK"));
    EXPECT_EQ(converterCommandLineOf(QStringLiteral("/run x/pagemint-pdf"), {Paper::A4}),
              QStringLiteral("\"/run x/pagemint-pdf\" --paper=A4 --orientation=auto --margin-mm=0 --fit=fit /NOASK"));
}

TEST(DocumentProperties, CreationDateAndMode)
{
    const QString text = creationDateText(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)));
    EXPECT_EQ(text, QStringLiteral("D:20240102030405-06'00"));
    EXPECT_EQ(text.size(), 22);
    EXPECT_FALSE(onePdfPerPictureFor(0));
    EXPECT_TRUE(onePdfPerPictureFor(1));
    EXPECT_TRUE(onePdfPerPictureFor(-1));
}

} // namespace
} // namespace pagemint
