// The recogniser helper on pages drawn here: the text it reads, where its boxes lie, the turns it
// gives them, and how it ends on pages and arguments it cannot use.

#include "RecognizerRun.h"
#include "DrawnPages.h"
#include "contract/PictureLimits.h"
#include "contract/Reasons.h"
#include "contract/TextRecognition.h"
#include "converter/TestJpegs.h"
#include "support/CraftedPictures.h"
#include "support/FileBytes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <sys/wait.h>

namespace pagemint::test {
namespace {

const QStringList kMixedLines = {QStringLiteral("短期负荷预测是电力系统调度的重要基础工作"),
                                 QStringLiteral("The quick brown fox jumps over the lazy dog")};
const QStringList kEnglishLines = {QStringLiteral("The quick brown fox jumps over the lazy dog"),
                                   QStringLiteral("Searchable documents keep every picture intact"),
                                   QStringLiteral("Results show lower error than earlier methods")};

std::string withoutSpaces(const QString &text)
{
    QString joined = text;
    joined.remove(u' ');
    return joined.toStdString();
}

QRect rectOf(const TextBox &box)
{
    return QRect(QPoint(box.x0, box.y0), QPoint(box.x1 - 1, box.y1 - 1));
}

// Each drawn line read with at most `errors` character errors, in the order drawn, its box over the
// ink of that line and its words inside it (a few pixels of slack: the engine's boxes and Qt's
// metrics differ at the edges).
void expectLinesOver(const PageText &text, const QStringList &drawn, const std::vector<QRect> &ink, int errors)
{
    const std::vector<std::string> read = joinedLines(text);
    ASSERT_EQ(read.size(), static_cast<std::size_t>(drawn.size()));
    for (std::size_t i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(read[i]);
        EXPECT_LE(editDistance(read[i], withoutSpaces(drawn[static_cast<qsizetype>(i)])), errors);
        const QRect line = rectOf(text.lines[i].box);
        const QRect slack = ink[i].adjusted(-8, -8, 8, 8);
        EXPECT_TRUE(slack.contains(line))
            << "line box " << line.x() << "," << line.y() << " " << line.width() << "x" << line.height();
        const QRect overlap = line.intersected(ink[i]);
        EXPECT_GE(overlap.width() * overlap.height(), ink[i].width() * ink[i].height() * 8 / 10);
        EXPECT_GE(text.lines[i].baseline, ink[i].center().y());
        for (const TextWord &word : text.lines[i].words)
            EXPECT_TRUE(slack.contains(rectOf(word.box))) << word.text;
    }
}

TEST(RecognizerRun, ReadsChineseAndEnglishWithBoxesOverTheDrawnLines)
{
    const DrawnPage page = drawPage(kMixedLines);
    const RecognizerRunner runner;
    const RecognizerResult run = runner.run(turnedJpeg(page.image, 0), {"--languages=chi_sim+eng", systemModels()});

    ASSERT_TRUE(run.exitedWith(0)) << run.err;
    const std::optional<PageText> text = run.text();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->width, page.image.width());
    EXPECT_EQ(text->height, page.image.height());
    EXPECT_EQ(text->turn, 0);
    expectLinesOver(*text, kMixedLines, page.lines, 2);
    // The models line names the file each language was read from.
    EXPECT_EQ(run.err, modelsUsedLine({{"chi_sim", PAGEMINT_SYSTEM_MODELS "/chi_sim.traineddata"},
                                       {"eng", PAGEMINT_SYSTEM_MODELS "/eng.traineddata"}}) +
                           "\n");
}

// Stored lying on its side with EXIF orientation 6: the boxes are in the grid of the page as shown.
TEST(RecognizerRun, ReadsThePageAsItsExifOrientationShowsIt)
{
    const DrawnPage page = drawPage(kEnglishLines);
    const QByteArray stored = turnedJpeg(page.image, 270);
    const RecognizerRunner runner;
    ExifFields exif;
    exif.orientation = 6;
    const RecognizerResult run = runner.run(withExif(stored, exif), {"--languages=eng", systemModels()});

    ASSERT_TRUE(run.exitedWith(0)) << run.err;
    const std::optional<PageText> text = run.text();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->width, page.image.width());
    EXPECT_EQ(text->height, page.image.height());
    EXPECT_EQ(text->turn, 0);
    expectLinesOver(*text, kEnglishLines, page.lines, 2);
}

// Upside down, and lying on either side: --upright finds the turn, and the boxes are in the grid
// of the page turned upright.
TEST(RecognizerRun, UprightTurnsThePageAndReadsItUpright)
{
    const DrawnPage page = drawPage(kEnglishLines);
    const RecognizerRunner runner;
    const RecognizerResult run =
        runner.run(turnedJpeg(page.image, 180), {"--languages=eng", "--upright", systemModels()});

    ASSERT_TRUE(run.exitedWith(0)) << run.err;
    const std::optional<PageText> text = run.text();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->turn, 180);
    EXPECT_EQ(text->width, page.image.width());
    EXPECT_EQ(text->height, page.image.height());
    expectLinesOver(*text, kEnglishLines, page.lines, 2);
}

// Without languages only the turn: the user's (--turn), then the one --upright finds on the page so
// turned; the text file's turn is both, and its grid that of the page turned so.
TEST(RecognizerRun, WithoutLanguagesGivesTheTurnAlone)
{
    const DrawnPage page = drawPage(kEnglishLines);
    const RecognizerRunner runner;
    struct Case {
        int stored; // how the page lies in the JPEG, turned clockwise from upright
        int userTurn;
        int turn;
    };
    const Case cases[] = {
        {0, 0, 0}, {90, 0, 270}, {270, 0, 90}, {90, 270, 270}, {90, 90, 270},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored << " turned " << c.userTurn);
        std::vector<std::string> arguments{systemModels(), "--upright"};
        if (c.userTurn != 0)
            arguments.push_back("--turn=" + std::to_string(c.userTurn));
        const RecognizerResult run = runner.run(turnedJpeg(page.image, c.stored), arguments);
        ASSERT_TRUE(run.exitedWith(0)) << run.err;
        const std::optional<PageText> text = run.text();
        ASSERT_TRUE(text);
        EXPECT_EQ(text->turn, c.turn);
        EXPECT_EQ(text->width, page.image.width());
        EXPECT_EQ(text->height, page.image.height());
        EXPECT_TRUE(text->lines.empty());
        EXPECT_EQ(run.err, modelsUsedLine({{"osd", PAGEMINT_SYSTEM_MODELS "/osd.traineddata"}}) + "\n");
    }
}

// Hostile and broken pages end with a reason line and an exit code, never a signal, and write no
// page text.
TEST(RecognizerRun, RefusesPagesItCannotReadWithAReason)
{
    const RecognizerRunner runner;
    const QByteArray whole = turnedJpeg(drawPage(kEnglishLines).image, 0);
    const QString wholePath = runner.path(QStringLiteral("whole.jpg"));
    QFile wholeFile(wholePath);
    ASSERT_TRUE(wholeFile.open(QIODevice::WriteOnly) && wholeFile.write(whole) == whole.size());
    wholeFile.close();
    struct Case {
        const char *name;
        QByteArray page;
        RecognizerExit code;
        std::string_view reason;
    };
    const Case cases[] = {
        {"empty", QByteArray(), RecognizerExit::Unreadable, reason::kEmptyFile},
        {"cut short", bytesOf(cutShort(wholePath, runner.path(QStringLiteral("cut.jpg")), 0.6)),
         RecognizerExit::NotJpeg, reason::kCutShort},
        {"no JPEG", pngBytes(drawPage(kEnglishLines).image), RecognizerExit::NotJpeg, reason::kNotJpeg},
        {"text", QByteArray("not a picture at all\n"), RecognizerExit::NotJpeg, reason::kNotJpeg},
        {"claims 65500 x 65500", bytesOf(writeJpegClaimingSize(runner.path(QStringLiteral("huge.jpg")), 65500, 65500)),
         RecognizerExit::TooLarge, reason::kTooLarge},
        {"EXIF directory past its segment",
         bytesOf(QStringLiteral(PAGEMINT_STAGING_FIXTURES "/jpeg-exif-count-65535-crashes-loader.jpg")),
         RecognizerExit::Written,
         {}},
        {"BMP header claiming 50000 x 50000",
         bytesOf(QStringLiteral(PAGEMINT_STAGING_FIXTURES "/bmp-header-claims-50000x50000.bmp")),
         RecognizerExit::NotJpeg, reason::kNotJpeg},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const RecognizerResult run = runner.run(c.page, {"--languages=eng", systemModels()});
        EXPECT_TRUE(run.exitedWith(static_cast<int>(c.code))) << run.status << ": " << run.err;
        if (c.code == RecognizerExit::Written)
            continue;
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_TRUE(run.err.starts_with(c.reason)) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
}

// A page larger than the recogniser reads is decoded at a fraction of its size: the grid it
// reports is that fraction.
TEST(RecognizerRun, ReadsAPageLargerThanItsLimitScaledDown)
{
    const RecognizerRunner runner;
    const int side = 7000; // 49 MP: over kRecognizerMaxPixels, read at half size
    static_assert(std::uint64_t(side) * side > kRecognizerMaxPixels);
    QImage white(side, side, QImage::Format_Grayscale8);
    white.fill(Qt::white);
    const RecognizerResult run = runner.run(qtJpeg(white), {"--upright", systemModels()});
    ASSERT_TRUE(run.exitedWith(0)) << run.err;
    const std::optional<PageText> text = run.text();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->width, side / 2);
    EXPECT_EQ(text->height, side / 2);
    EXPECT_EQ(text->turn, 0); // a blank page gives the detector nothing to be sure of
}

TEST(RecognizerRun, NamesTheModelThatIsMissingAndTakesEachFromTheFirstFolderThatHasIt)
{
    const RecognizerRunner runner;
    const QByteArray page = turnedJpeg(drawPage(kEnglishLines).image, 0);
    const QString empty = runner.path(QStringLiteral("empty-models"));
    const QString own = runner.path(QStringLiteral("own-models"));
    ASSERT_TRUE(QDir().mkpath(empty) && QDir().mkpath(own));
    ASSERT_TRUE(QFile::copy(QStringLiteral(PAGEMINT_SYSTEM_MODELS "/osd.traineddata"), own + "/osd.traineddata"));

    const RecognizerResult missing = runner.run(page, {"--languages=eng", "--models=" + empty.toStdString()});
    EXPECT_TRUE(missing.exitedWith(static_cast<int>(RecognizerExit::NoModel))) << missing.err;
    EXPECT_EQ(missing.err, reason::inBrackets(reason::kNoRecognitionModel, "eng") + "\n");
    EXPECT_TRUE(missing.out.empty());

    const RecognizerResult found = runner.run(page, {"--upright", "--languages=eng", "--models=" + empty.toStdString(),
                                                     "--models=" + own.toStdString(), systemModels()});
    EXPECT_TRUE(found.exitedWith(0)) << found.err;
    EXPECT_EQ(found.err, modelsUsedLine({{"eng", PAGEMINT_SYSTEM_MODELS "/eng.traineddata"},
                                         {"osd", own.toStdString() + "/osd.traineddata"}}) +
                             "\n");
}

TEST(RecognizerRun, RefusesArgumentsItDoesNotTake)
{
    const RecognizerRunner runner;
    const QByteArray page("unused");
    const std::vector<std::vector<std::string>> refused = {
        {},                                      // nothing asked
        {systemModels()},                        // still nothing asked
        {"--languages=eng"},                     // no model folder
        {"--languages=deu", systemModels()},     // a language it does not offer
        {"--upright", "--fast", systemModels()}, // an unknown option
    };
    for (const std::vector<std::string> &arguments : refused) {
        const RecognizerResult run = runner.run(page, arguments);
        EXPECT_TRUE(run.exitedWith(static_cast<int>(RecognizerExit::Usage))) << run.status;
        EXPECT_TRUE(run.err.starts_with("usage: ")) << run.err;
    }
}

} // namespace
} // namespace pagemint::test
