// pagemint.ini, the page layout beside setting.dll: what each file gives, what a bad value costs,
// and writing it where the application folder may not be written.
#include "settings/PageLayoutFile.h"
#include "support/FileAccessAsNobody.h"
#include "support/LogCapture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace pagemint {
namespace {

using test::FileAccessAsNobody;
using test::LogCapture;

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void putFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

constexpr PageLayout kDefault{};

TEST(PageLayoutFile, ReadsEachKeyAndKeepsTheDefaultForWhatIsMissingOrBad)
{
    struct Case {
        const char *what;
        const char *bytes; // nullptr: no file
        PageLayout expected;
        QStringList warnedKeys; // one warning naming each
    };
    const Case cases[] = {
        {"no file", nullptr, kDefault, {}},
        {"empty file", "", kDefault, {}},
        {"every key",
         "[Page]\nPaper=A4\nOrientation=landscape\nMarginMm=10\nFit=shrink\n",
         {Paper::A4, PageOrientation::Landscape, 10, PageFit::Shrink},
         {}},
        {"CR LF and any case",
         "[Page]\r\nPaper=legal\r\nOrientation=PORTRAIT\r\nFit=Fit\r\n",
         {Paper::Legal, PageOrientation::Portrait, 0, PageFit::Fit},
         {}},
        {"only the paper", "[Page]\nPaper=picture\n", {Paper::Picture, PageOrientation::Auto, 0, PageFit::Fit}, {}},
        {"the widest margin",
         "[Page]\nPaper=B5\nMarginMm=50\n",
         {Paper::B5, PageOrientation::Auto, 50, PageFit::Fit},
         {}},
        {"keys of another section", "[Other]\nPaper=A4\nMarginMm=10\n", kDefault, {}},
        {"an unknown paper",
         "[Page]\nPaper=A3\nOrientation=portrait\nMarginMm=5\n",
         {Paper::Original, PageOrientation::Portrait, 5, PageFit::Fit},
         {QStringLiteral("Page/Paper")}},
        {"two papers",
         "[Page]\nPaper=A4,B5\nFit=shrink\n",
         {Paper::Original, PageOrientation::Auto, 0, PageFit::Shrink},
         {QStringLiteral("Page/Paper")}},
        {"a margin past 50",
         "[Page]\nPaper=A5\nMarginMm=51\n",
         {Paper::A5, PageOrientation::Auto, 0, PageFit::Fit},
         {QStringLiteral("Page/MarginMm")}},
        {"a margin with its unit",
         "[Page]\nMarginMm=10mm\nFit=shrink\n",
         {Paper::Original, PageOrientation::Auto, 0, PageFit::Shrink},
         {QStringLiteral("Page/MarginMm")}},
        {"a negative margin and a bad fit",
         "[Page]\nPaper=Letter\nMarginMm=-5\nFit=stretch\n",
         {Paper::Letter, PageOrientation::Auto, 0, PageFit::Fit},
         {QStringLiteral("Page/MarginMm"), QStringLiteral("Page/Fit")}},
        {"an empty orientation",
         "[Page]\nOrientation=\nPaper=A4\n",
         {Paper::A4, PageOrientation::Auto, 0, PageFit::Fit},
         {QStringLiteral("Page/Orientation")}},
    };
    QTemporaryDir dir;
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        // A file of its own for each case: QSettings keeps what it read of a path.
        const QString path = dir.filePath(QStringLiteral("%1/pagemint.ini").arg(n++));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        if (c.bytes != nullptr)
            putFile(path, c.bytes);
        const LogCapture log;
        EXPECT_EQ(readPageLayoutFile(path), c.expected);
        ASSERT_EQ(log.warnings().size(), c.warnedKeys.size()) << log.warnings().join(u'\n').toStdString();
        for (qsizetype i = 0; i < c.warnedKeys.size(); ++i) {
            EXPECT_TRUE(log.warnings()[i].startsWith(QStringLiteral("pagemint.settings: ")));
            EXPECT_TRUE(log.warnings()[i].contains(c.warnedKeys[i])) << log.warnings()[i].toStdString();
            EXPECT_TRUE(log.warnings()[i].contains(path)) << log.warnings()[i].toStdString();
        }
    }
}

TEST(PageLayoutFile, WritesEveryKeyAndReadsItBack)
{
    const PageLayout layouts[] = {
        {Paper::A4, PageOrientation::Auto, 10, PageFit::Fit},
        {Paper::B5, PageOrientation::Landscape, 0, PageFit::Shrink},
        {Paper::Picture, PageOrientation::Portrait, 50, PageFit::Fit},
        kDefault,
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pagemint.ini"));
    for (const PageLayout &layout : layouts) {
        ASSERT_TRUE(writePageLayoutFile(path, layout));
        EXPECT_EQ(readPageLayoutFile(path), layout);
    }
    EXPECT_EQ(bytesOf(path), QByteArray("[Page]\nPaper=original\nOrientation=auto\nMarginMm=0\nFit=fit\n"
                                        "[Text]\nRecognition=off\nUpright=false\n"));
}

TEST(PageLayoutFile, ReadsTheTextSectionAndKeepsTheDefaultForWhatIsMissingOrBad)
{
    struct Case {
        const char *what;
        const char *bytes; // nullptr: no file
        TextChoice expected;
        QStringList warnedKeys; // one warning naming each
    };
    const Case cases[] = {
        {"no file", nullptr, {}, {}},
        {"only the page", "[Page]\nPaper=A4\n", {}, {}},
        {"both keys", "[Text]\nRecognition=chi_sim+eng\nUpright=true\n", {Recognition::ChineseAndEnglish, true}, {}},
        {"any case, after the page",
         "[Page]\nPaper=A4\n[Text]\r\nRecognition=ENG\r\nUpright=False\r\n",
         {Recognition::English, false},
         {}},
        {"recognition off, upright alone", "[Text]\nRecognition=off\nUpright=TRUE\n", {Recognition::Off, true}, {}},
        {"a language we do not offer",
         "[Text]\nRecognition=chi_sim\nUpright=true\n",
         {Recognition::Off, true},
         {QStringLiteral("Text/Recognition")}},
        {"two languages by a comma", "[Text]\nRecognition=eng,chi_sim\n", {}, {QStringLiteral("Text/Recognition")}},
        {"an upright of another word",
         "[Text]\nRecognition=eng\nUpright=1\n",
         {Recognition::English, false},
         {QStringLiteral("Text/Upright")}},
        {"keys of the page section", "[Page]\nRecognition=eng\nUpright=true\n", {}, {}},
    };
    QTemporaryDir dir;
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath(QStringLiteral("%1/pagemint.ini").arg(n++));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        if (c.bytes != nullptr)
            putFile(path, c.bytes);
        const LogCapture log;
        EXPECT_EQ(readTextChoiceFile(path), c.expected);
        ASSERT_EQ(log.warnings().size(), c.warnedKeys.size()) << log.warnings().join(u'\n').toStdString();
        for (qsizetype i = 0; i < c.warnedKeys.size(); ++i) {
            EXPECT_TRUE(log.warnings()[i].contains(c.warnedKeys[i])) << log.warnings()[i].toStdString();
            EXPECT_TRUE(log.warnings()[i].contains(path)) << log.warnings()[i].toStdString();
        }
    }
}

// One file holds both sections: writing either keeps the other as it was.
TEST(PageLayoutFile, WritingOneSectionKeepsTheOther)
{
    const PageLayout layout{Paper::A5, PageOrientation::Landscape, 15, PageFit::Shrink};
    const TextChoice text{Recognition::ChineseAndEnglish, true};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pagemint.ini"));

    ASSERT_TRUE(writePageLayoutFile(path, layout));
    ASSERT_TRUE(writeTextChoiceFile(path, text));
    EXPECT_EQ(readPageLayoutFile(path), layout);
    EXPECT_EQ(readTextChoiceFile(path), text);

    const PageLayout other{Paper::Letter, PageOrientation::Portrait, 0, PageFit::Fit};
    ASSERT_TRUE(writePageLayoutFile(path, other));
    EXPECT_EQ(readPageLayoutFile(path), other);
    EXPECT_EQ(readTextChoiceFile(path), text);

    const TextChoice english{Recognition::English, false};
    ASSERT_TRUE(writeTextChoiceFile(path, english));
    EXPECT_EQ(readPageLayoutFile(path), other);
    EXPECT_EQ(readTextChoiceFile(path), english);
    EXPECT_EQ(bytesOf(path), QByteArray("[Page]\nPaper=Letter\nOrientation=portrait\nMarginMm=0\nFit=fit\n"
                                        "[Text]\nRecognition=eng\nUpright=false\n"));

    // A file that only an older copy wrote: the layout it holds survives the first text choice.
    putFile(path, "[Page]\nPaper=B5\nMarginMm=20\n");
    ASSERT_TRUE(writeTextChoiceFile(path, text));
    EXPECT_EQ(readPageLayoutFile(path), (PageLayout{Paper::B5, PageOrientation::Auto, 20, PageFit::Fit}));
    EXPECT_EQ(readTextChoiceFile(path), text);
}

class PageLayoutFileInAReadOnlyFolder : public ::testing::Test {
protected:
    QString path() const { return dir_.filePath(QStringLiteral("pagemint.ini")); }
    void SetUp() override { putFile(path(), old); }
    void TearDown() override { QFile::setPermissions(dir_.path(), readOnly | QFile::WriteOwner); }
    // Writes as user "nobody" (root would ignore the folder's mode) into the folder made read-only.
    bool writeAsNobody(QFile::Permissions filePermissions)
    {
        EXPECT_TRUE(QFile::setPermissions(path(), filePermissions));
        EXPECT_TRUE(QFile::setPermissions(dir_.path(), readOnly));
        const FileAccessAsNobody nobody;
        return writePageLayoutFile(path(), {Paper::A4, PageOrientation::Auto, 10, PageFit::Fit});
    }
    static constexpr auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    static constexpr const char *old = "[Page]\nPaper=Letter\n";
    QTemporaryDir dir_;
};

TEST_F(PageLayoutFileInAReadOnlyFolder, AReadOnlyFileFailsWithAWarningAndIsKept)
{
    const LogCapture log;
    EXPECT_FALSE(writeAsNobody(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    EXPECT_EQ(bytesOf(path()), QByteArray(old));
    test::expectOneLine(log, QStringLiteral("pagemint.settings"), {path(), QStringLiteral("permission denied")});
    EXPECT_EQ(readPageLayoutFile(path()).paper, Paper::Letter);
}

TEST_F(PageLayoutFileInAReadOnlyFolder, AWritableFileIsWrittenInPlace)
{
    const LogCapture log;
    EXPECT_TRUE(writeAsNobody(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther));
    EXPECT_EQ(readPageLayoutFile(path()), (PageLayout{Paper::A4, PageOrientation::Auto, 10, PageFit::Fit}));
    EXPECT_TRUE(log.warnings().isEmpty()) << log.warnings().join(u'\n').toStdString();
}

TEST_F(PageLayoutFileInAReadOnlyFolder, NoFileCanBeMadeThere)
{
    ASSERT_TRUE(QFile::remove(path()));
    ASSERT_TRUE(QFile::setPermissions(dir_.path(), readOnly));
    const LogCapture log;
    {
        const FileAccessAsNobody nobody;
        EXPECT_FALSE(writePageLayoutFile(path(), {Paper::A4, PageOrientation::Auto, 10, PageFit::Fit}));
    }
    EXPECT_FALSE(QFile::exists(path()));
    test::expectOneLine(log, QStringLiteral("pagemint.settings"), {path(), QStringLiteral("not written")});
}

} // namespace
} // namespace pagemint
