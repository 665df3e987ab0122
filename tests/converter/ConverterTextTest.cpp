// pdf.exe laying the recognised text of staged pages over them: what a reader copies (pdftotext),
// where each word lies (pdftotext -bbox), that the text shows nothing (pdftoppm), that the picture
// bytes stay (pdfimages), that the page turns upright, and that a text file that cannot be used
// leaves exactly the page written without it.
#include "ConverterChecks.h"
#include "ConverterRun.h"
#include "ConverterStaging.h"
#include "TestJpegs.h"

#include "contract/ConverterContract.h"
#include "contract/PageLayout.h"
#include "contract/PageText.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QRegularExpression>
#include <QTransform>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sys/stat.h>

using namespace pagemint;
using namespace pagemint::test;

namespace {

QByteArray picture(int width, int height, int orientation = 1)
{
    QByteArray jpeg = withJfifDensity(qtJpeg(quadrantPicture(width, height), false, 95), 1, 96, 96);
    if (orientation == 1)
        return jpeg;
    ExifFields exif;
    exif.orientation = orientation;
    return withExif(jpeg, exif);
}

// Boxes as fractions of the picture, so one description fits every grid.
struct Fraction {
    double x0, x1;
    const char *text;
};

TextLine lineOf(int width, int height, double top, double bottom, std::initializer_list<Fraction> words)
{
    const auto x = [&](double f) { return int(f * width); };
    TextLine line;
    line.box = {x(0.05), int(top * height), x(0.95), int(bottom * height)};
    // Where a line of Latin text has its baseline: a fifth of its height above the bottom.
    line.baseline = line.box.y0 + (line.box.y1 - line.box.y0) * 4 / 5;
    for (const Fraction &w : words)
        line.words.push_back({{x(w.x0), line.box.y0, x(w.x1), line.box.y1}, w.text});
    return line;
}

PageText pageText(int width, int height, int turn, std::vector<TextLine> lines = {})
{
    return PageText{width, height, turn, std::move(lines)};
}

QStringList textLines(const QString &text)
{
    QStringList out;
    for (const QString &line : text.split(QRegularExpression(QStringLiteral("[\\n\\f]")), Qt::SkipEmptyParts))
        if (!line.trimmed().isEmpty())
            out << line.trimmed();
    return out;
}

struct WordBox {
    QString text;
    double xMin, yMin, xMax, yMax; // points, y down from the top, as pdftotext gives them
};

std::vector<std::vector<WordBox>> wordBoxes(const QString &pdf)
{
    const ProcessResult run =
        runProcess(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    static const QRegularExpression page(QStringLiteral("<page "));
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    std::vector<std::vector<WordBox>> pages;
    for (const QString &part : run.out.split(page).mid(1)) {
        pages.emplace_back();
        for (auto it = word.globalMatch(part); it.hasNext();) {
            const auto m = it.next();
            pages.back().push_back({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(),
                                    m.captured(3).toDouble(), m.captured(4).toDouble()});
        }
    }
    return pages;
}

// The picture as a viewer shows it: Qt's reader turns it by its EXIF orientation, then the turn.
QImage expectedUpright(const QString &path, int turn)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return reader.read().transformed(QTransform().rotate(turn));
}

} // namespace

TEST(ConverterText, CopiesHanWithoutSpacesAndOtherWordsWithOneInOneSharedFont)
{
    Staging staging;
    const int w = 1200, h = 400;
    staging.putPage(1, picture(w, h),
                    pageText(w, h, 0,
                             {lineOf(w, h, 0.1, 0.2,
                                     {{0.05, 0.08, "短"},
                                      {0.085, 0.115, "期"},
                                      {0.12, 0.15, "负"},
                                      {0.155, 0.185, "荷"},
                                      {0.19, 0.22, "预"},
                                      {0.225, 0.255, "测"},
                                      {0.28, 0.36, "PDF"},
                                      {0.38, 0.41, "𠮷"},
                                      {0.415, 0.445, "野"},
                                      {0.45, 0.48, "家"},
                                      {0.50, 0.53, "。"}}),
                              lineOf(w, h, 0.4, 0.5,
                                     {{0.05, 0.15, "Load"},
                                      {0.17, 0.35, "forecasting"},
                                      {0.362, 0.42, "with"}, // a narrow gap still gets its space
                                      {0.44, 0.52, "deep"},
                                      {0.54, 0.70, "networks"}})}));
    staging.putPage(
        2, picture(400, 400),
        pageText(
            400, 400, 0,
            {lineOf(
                400, 400, 0.3, 0.4,
                {{0.1, 0.2, "第"}, {0.2, 0.3, "二"}, {0.3, 0.4, "页"}, {0.43, 0.63, "page"}, {0.66, 0.8, "two"}})}));
    const ProcessResult run = staging.run();
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();

    const ProcessResult text = runProcess(QStringLiteral("pdftotext"), {staging.pdf(), QStringLiteral("-")});
    EXPECT_TRUE(text.err.isEmpty()) << text.err.toStdString();
    EXPECT_EQ(textLines(text.out),
              (QStringList{QStringLiteral("短期负荷预测 PDF 𠮷野家。"),
                           QStringLiteral("Load forecasting with deep networks"), QStringLiteral("第二页 page two")}));
    // Both pages name the one font.
    const ProcessResult fonts = runProcess(QStringLiteral("pdffonts"), {staging.pdf()});
    EXPECT_EQ(fonts.out.count(QLatin1String("Identity-H")), 1) << fonts.out.toStdString();
    expectCleanPdf(staging.pdf());
}

TEST(ConverterText, PutsEachWordOverItsBoxOnEveryLayoutAndTurn)
{
    struct Case {
        int orientation, turn;
        PageLayout layout;
    };
    std::vector<Case> cases = {
        {6, 90, {}},
        {6, 90, {Paper::A4, PageOrientation::Auto, 10, PageFit::Fit}},
        {3, 90, {Paper::A5, PageOrientation::Portrait, 50, PageFit::Fit}},
    };
    // Every EXIF orientation on each kind of layout, the turns taken in rotation.
    const PageLayout layouts[] = {{},
                                  {Paper::A4, PageOrientation::Auto, 10, PageFit::Fit},
                                  {Paper::Letter, PageOrientation::Landscape, 20, PageFit::Shrink},
                                  {Paper::Picture, PageOrientation::Auto, 0, PageFit::Fit}};
    for (int i = 0; i < int(std::size(layouts)); ++i)
        for (int orientation = 1; orientation <= 8; ++orientation)
            cases.push_back({orientation, 90 * ((orientation + i) % 4), layouts[i]});
    const int storedWidth = 480, storedHeight = 320; // 96 dpi: 360 x 240 points
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "EXIF " << c.orientation << " turn " << c.turn << " paper "
                                        << paperWord(c.layout.paper));
        const bool swapped = (c.orientation >= 5) != (c.turn % 180 != 0);
        const int w = swapped ? storedHeight : storedWidth, h = swapped ? storedWidth : storedHeight;
        Staging staging;
        staging.putPage(
            1, picture(storedWidth, storedHeight, c.orientation),
            pageText(w, h, c.turn,
                     {lineOf(w, h, 0.2, 0.3, {{0.1, 0.3, "Alpha"}, {0.35, 0.5, "beta"}, {0.6, 0.9, "gamma"}}),
                      lineOf(w, h, 0.6, 0.7, {{0.1, 0.15, "中"}, {0.15, 0.2, "文"}, {0.3, 0.8, "text"}})}));
        const ProcessResult run = staging.run(c.layout);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const std::vector<PdfPageInfo> pages = pdfPages(staging.pdf());
        const std::vector<Box> boxes = pictureBoxes(staging.pdf());
        ASSERT_EQ(pages.size(), 1u);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(pages[0].rotate, 0) << "the turn is in the page matrix";
        if (c.layout.paper == Paper::Original) {
            EXPECT_NEAR(pages[0].width, w * 0.75, 0.01);
            EXPECT_NEAR(pages[0].height, h * 0.75, 0.01);
        }
        // The picture's grid laid over the box it is drawn in, y counted down from the page's top.
        const Box &b = boxes[0];
        const auto pageX = [&](double fx) { return b.left + fx * (b.right - b.left); };
        const auto pageY = [&](double fy) { return pages[0].height - b.top + fy * (b.top - b.bottom); };
        struct Expected {
            const char *text;
            double x0, x1, y0, y1; // fractions of the picture
        };
        const Expected expected[] = {{"Alpha", 0.1, 0.3, 0.2, 0.3},
                                     {"beta", 0.35, 0.5, 0.2, 0.3},
                                     {"gamma", 0.6, 0.9, 0.2, 0.3},
                                     {"中文", 0.1, 0.2, 0.6, 0.7},
                                     {"text", 0.3, 0.8, 0.6, 0.7}};
        const std::vector<std::vector<WordBox>> words = wordBoxes(staging.pdf());
        ASSERT_EQ(words.size(), 1u);
        ASSERT_EQ(words[0].size(), std::size(expected));
        for (const Expected &e : expected) {
            SCOPED_TRACE(e.text);
            // The reader may take wide gaps for columns: find each word by its text.
            const auto found = std::find_if(words[0].begin(), words[0].end(), [&](const WordBox &word) {
                return word.text == QString::fromUtf8(e.text);
            });
            ASSERT_NE(found, words[0].end());
            const WordBox &got = *found;
            // The grid is whole pixels: a fraction of one is lost to rounding.
            const double pixel = (b.right - b.left) / w;
            EXPECT_NEAR(got.xMin, pageX(e.x0), 2 + pixel);
            EXPECT_NEAR(got.xMax, pageX(e.x1), 2 + pixel);
            EXPECT_NEAR(got.yMin, pageY(e.y0), 2 + pixel);
            EXPECT_NEAR(got.yMax, pageY(e.y1), 2 + pixel);
        }
    }
}

TEST(ConverterText, ShowsNothingAndKeepsThePictureBytes)
{
    // Each picture twice: once with its text, once with the same turn and no line.
    struct Case {
        int orientation, turn;
    };
    const Case cases[] = {{1, 0}, {6, 0}, {6, 90}, {3, 180}, {7, 270}};
    for (const PageLayout &layout : {PageLayout{}, PageLayout{Paper::B5, PageOrientation::Auto, 15, PageFit::Shrink}}) {
        SCOPED_TRACE(paperWord(layout.paper));
        Staging staging;
        QList<QByteArray> bytes;
        int index = 0;
        for (const Case &c : cases) {
            const QByteArray jpeg = picture(200, 120, c.orientation);
            const bool swapped = (c.orientation >= 5) != (c.turn % 180 != 0);
            const int w = swapped ? 120 : 200, h = swapped ? 200 : 120;
            staging.putPage(++index, jpeg,
                            pageText(w, h, c.turn,
                                     {lineOf(w, h, 0.1, 0.3, {{0.1, 0.4, "Invisible"}, {0.5, 0.6, "字"}}),
                                      lineOf(w, h, 0.5, 0.9, {{0.2, 0.9, "WWWWWW"}})}));
            staging.putPage(++index, jpeg, pageText(w, h, c.turn));
            bytes << jpeg << jpeg;
        }
        // And the page with no text file at all, after one whose text does not turn it.
        staging.putPage(++index, bytes[0], pageText(200, 120, 0, {lineOf(200, 120, 0.1, 0.3, {{0.1, 0.4, "x"}})}));
        staging.putPage(++index, bytes[0]);
        bytes << bytes[0] << bytes[0];
        const ProcessResult run = staging.run(layout);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(extractedJpegs(staging.pdf()), bytes) << "the JPEG bytes did not come back unchanged";
        expectCleanPdf(staging.pdf());
        const ProcessResult rendered =
            runProcess(QStringLiteral("pdftoppm"),
                       {QStringLiteral("-r"), QStringLiteral("10"), staging.pdf(), staging.pdf() + u'r'});
        EXPECT_TRUE(rendered.err.isEmpty()) << "the font did not load quietly: " << rendered.err.toStdString();
        for (int page = 1; page < index; page += 2) {
            SCOPED_TRACE(testing::Message() << "pages " << page << " and " << page + 1);
            const QImage withText = renderPage(staging.pdf(), page, 40);
            ASSERT_FALSE(withText.isNull());
            EXPECT_EQ(withText, renderPage(staging.pdf(), page + 1, 40));
        }
    }
}

TEST(ConverterText, TurnsEveryOrientationUprightByTheTextsTurn)
{
    for (const PageLayout &layout : {PageLayout{}, PageLayout{Paper::A5, PageOrientation::Auto, 10, PageFit::Fit}}) {
        SCOPED_TRACE(paperWord(layout.paper));
        Staging staging;
        QList<QImage> expected;
        QList<int> turns;
        int index = 0;
        for (int orientation = 1; orientation <= 8; ++orientation)
            for (int turn : {0, 90, 180, 270}) {
                staging.putPage(++index, picture(64, 48, orientation));
                expected << expectedUpright(staging.pagePath(index), turn);
                turns << turn;
                const int w = int(expected.last().width()), h = int(expected.last().height());
                // Turned pages half with a line, half recognised for the turn alone; an unturned
                // page without a line is the page written without text, with /Rotate.
                std::vector<TextLine> lines;
                if (turn == 0 || index % 2 == 0)
                    lines.push_back(lineOf(w, h, 0.4, 0.6, {{0.1, 0.9, "upright"}}));
                writeFile(staging.textPath(index),
                          QByteArray::fromStdString(writePageText(pageText(w, h, turn, lines))));
            }
        const ProcessResult run = staging.run(layout);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const std::vector<PdfPageInfo> pages = pdfPages(staging.pdf());
        const std::vector<Box> boxes = pictureBoxes(staging.pdf());
        ASSERT_EQ(pages.size(), 32u);
        ASSERT_EQ(boxes.size(), 32u);
        for (int page = 0; page < 32; ++page) {
            SCOPED_TRACE(testing::Message() << "EXIF " << page / 4 + 1 << " turn " << turns[page]);
            const QImage &want = expected[page];
            EXPECT_EQ(pages[page].width > pages[page].height, want.width() > want.height());
            const int dpi = 36;
            const QImage rendered = renderPage(staging.pdf(), page + 1, dpi);
            ASSERT_FALSE(rendered.isNull());
            const Box &b = boxes[page];
            for (double fx : {0.25, 0.75})
                for (double fy : {0.25, 0.75}) {
                    const double x = b.left + fx * (b.right - b.left),
                                 y = pages[page].height - b.top + fy * (b.top - b.bottom);
                    expectColourAt(rendered.pixelColor(int(x * dpi / 72), int(y * dpi / 72)),
                                   want.pixelColor(int(fx * want.width()), int(fy * want.height())), fx, fy);
                }
        }
    }
}

TEST(ConverterText, AnUnusableTextFileLeavesExactlyThePageWrittenWithoutIt)
{
    Staging staging;
    const QByteArray jpeg = picture(160, 120, 6);
    staging.putPage(1, jpeg);
    const PageLayout layout{Paper::A4, PageOrientation::Auto, 10, PageFit::Fit};
    ASSERT_EQ(staging.run(layout).exitCode, 0);
    const QByteArray plain = withoutId(staging.pdf());
    const QString text = staging.textPath(1);
    const QByteArray good = QByteArray::fromStdString(
        writePageText(pageText(120, 160, 90, {lineOf(120, 160, 0.1, 0.2, {{0.1, 0.5, "word"}})})));

    struct Case {
        const char *what;
        std::function<void()> make;
        bool noted; // named on stderr
    };
    const Case cases[] = {
        {"absent", [] {}, false},
        {"a page found to have no text",
         [&] { writeFile(text, QByteArray::fromStdString(writePageText(pageText(120, 160, 0)))); }, false},
        {"not a page text file", [&] { writeFile(text, "hello\n"); }, true},
        {"a word outside the picture",
         [&] { writeFile(text, QByteArray(good).replace("word 12 16 60 32 word", "word 12 16 600 32 word")); }, true},
        {"cut off", [&] { writeFile(text, good.chopped(3)); }, true},
        {"larger than the format allows",
         [&] { writeFile(text, good + QByteArray(qsizetype(kMaxPageTextBytes), '#')); }, true},
        {"a folder", [&] { QDir().mkdir(text); }, true},
        {"a pipe nobody writes to", [&] { ::mkfifo(QFile::encodeName(text).constData(), 0600); }, true},
    };
    ASSERT_TRUE(good.contains("word 12 16 60 32 word")) << good.toStdString();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        c.make();
        const ProcessResult run = staging.run(layout);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(lines(run.out), QStringList{QStringLiteral("page 00001.jpg of 1")});
        EXPECT_EQ(withoutId(staging.pdf()), plain);
        if (c.noted) {
            EXPECT_TRUE(run.err.contains(QLatin1String("00001.txt"))) << run.err.toStdString();
        } else {
            EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        }
        // The program reads no picture as left out: the page is there.
        for (const QString &line : lines(run.err))
            EXPECT_FALSE(parseLeftOutLine(line.toStdString())) << line.toStdString();
        QDir().rmdir(text);
        QFile::remove(text);
    }
    // The good file, for contrast, does change the page.
    writeFile(text, good);
    ASSERT_EQ(staging.run(layout).exitCode, 0);
    EXPECT_NE(withoutId(staging.pdf()), plain);
}
