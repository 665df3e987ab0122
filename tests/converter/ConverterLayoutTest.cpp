// pdf.exe laying pictures out on paper: every paper, orientation, margin and fit over pictures of
// several shapes, resolutions and EXIF turns. The page sizes come from pdfinfo, the picture's box
// from the page's content stream, its bytes back from pdfimages -all, and "upright" from pdftoppm.
#include "ConverterChecks.h"
#include "ConverterRun.h"
#include "TestJpegs.h"

#include "contract/PageLayout.h"

#include <QDir>
#include <QImageReader>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

using namespace pagemint;
using namespace pagemint::test;

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

struct Picture {
    const char *name;
    int pixelWidth, pixelHeight;
    int dpi; // stated in the JFIF header
    int orientation;
    double uprightWidth, uprightHeight; // points, as the original paper shows the picture
};

// A wide photo, a small portrait scan (it fits every paper as it is), a square, a 72-dpi phone
// photo stored sideways, a panorama and a transposed picture.
const Picture pictures[] = {
    {"landscape-72dpi.jpg", 800, 600, 72, 1, 800, 600}, {"portrait-300dpi.jpg", 600, 900, 300, 1, 144, 216},
    {"square-96dpi.jpg", 400, 400, 96, 1, 300, 300},    {"phone-exif6.jpg", 640, 480, 72, 6, 480, 640},
    {"panorama.jpg", 1600, 400, 96, 1, 1200, 300},      {"transposed-exif5.jpg", 480, 240, 48, 5, 360, 720},
};

// Paper sizes in millimetres, portrait, as the standards give them (Letter and Legal in inches).
struct PaperCase {
    Paper paper;
    double widthMm, heightMm;
};
const PaperCase papers[] = {
    {Paper::A4, 210, 297},         {Paper::A5, 148, 210},        {Paper::B5, 182, 257},
    {Paper::Letter, 215.9, 279.4}, {Paper::Legal, 215.9, 355.6}, {Paper::Picture, 0, 0},
};

QByteArray pictureBytes(const Picture &p)
{
    QByteArray jpeg = withJfifDensity(qtJpeg(quadrantPicture(p.pixelWidth, p.pixelHeight)), 1, p.dpi, p.dpi);
    if (p.orientation == 1)
        return jpeg;
    ExifFields exif;
    exif.orientation = p.orientation;
    return withExif(jpeg, exif);
}

std::string describe(const PageLayout &l)
{
    return std::string(paperWord(l.paper)) + "/" + std::string(orientationWord(l.orientation)) + "/" +
           std::to_string(l.marginMm) + "mm/" + std::string(fitWord(l.fit));
}

// The page the paper should give this picture: portrait or landscape as asked, the picture's own
// shape for the picture paper.
std::pair<double, double> expectedPage(const PaperCase &paper, const PageLayout &layout, const Picture &p)
{
    const bool wide = p.uprightWidth > p.uprightHeight;
    if (paper.paper == Paper::Picture) {
        const double longSide = 297 * kPointsPerMm;
        return wide ? std::pair{longSide, longSide * p.uprightHeight / p.uprightWidth}
                    : std::pair{longSide * p.uprightWidth / p.uprightHeight, longSide};
    }
    const double w = paper.widthMm * kPointsPerMm, h = paper.heightMm * kPointsPerMm;
    const bool landscape =
        layout.orientation == PageOrientation::Landscape || (layout.orientation == PageOrientation::Auto && wide);
    return landscape ? std::pair{h, w} : std::pair{w, h};
}

} // namespace

TEST(ConverterLayout, EveryPaperOrientationMarginAndFitCentresThePictureUnchanged)
{
    QTemporaryDir dir;
    QStringList files;
    QList<QByteArray> bytes;
    for (const Picture &p : pictures) {
        files << dir.filePath(QString::fromLatin1(p.name));
        bytes << pictureBytes(p);
        writeFile(files.last(), bytes.last());
    }
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    int runs = 0;
    for (const PaperCase &paper : papers)
        for (PageOrientation orientation :
             {PageOrientation::Auto, PageOrientation::Portrait, PageOrientation::Landscape})
            for (int marginMm : {0, 10, 50})
                for (PageFit fit : {PageFit::Fit, PageFit::Shrink}) {
                    const PageLayout layout{paper.paper, orientation, marginMm, fit};
                    SCOPED_TRACE(describe(layout));
                    const ProcessResult run =
                        runConverter(argumentsOf(layout) + QStringList{QStringLiteral("--out"), pdf} + files);
                    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
                    ++runs;
                    const std::vector<PdfPageInfo> pages = pdfPages(pdf);
                    const std::vector<Box> boxes = pictureBoxes(pdf);
                    ASSERT_EQ(pages.size(), std::size(pictures));
                    ASSERT_EQ(boxes.size(), std::size(pictures));
                    EXPECT_EQ(extractedJpegs(pdf), bytes) << "the JPEG bytes did not come back unchanged";
                    for (std::size_t i = 0; i < std::size(pictures); ++i) {
                        const Picture &p = pictures[i];
                        SCOPED_TRACE(p.name);
                        const auto [pageWidth, pageHeight] = expectedPage(paper, layout, p);
                        EXPECT_NEAR(pages[i].width, pageWidth, 0.01);
                        EXPECT_NEAR(pages[i].height, pageHeight, 0.01);
                        EXPECT_EQ(pages[i].rotate, 0);
                        const Box &b = boxes[i];
                        const double width = b.right - b.left, height = b.top - b.bottom;
                        // Centred: the margins left around it are equal within a point.
                        EXPECT_NEAR(b.left, pageWidth - b.right, 1.0);
                        EXPECT_NEAR(b.bottom, pageHeight - b.top, 1.0);
                        // Shape kept.
                        EXPECT_NEAR(width / height, p.uprightWidth / p.uprightHeight, 0.001);
                        // Inside the margins, and under 适应页面 touching them on one axis.
                        const double margin = std::min(marginMm * kPointsPerMm, std::min(pageWidth, pageHeight) / 4);
                        EXPECT_GE(b.left, margin - 0.01);
                        EXPECT_GE(b.bottom, margin - 0.01);
                        const double roomW = pageWidth - 2 * margin, roomH = pageHeight - 2 * margin;
                        const bool fills = std::abs(width - roomW) < 1.0 || std::abs(height - roomH) < 1.0;
                        const bool fitsAsItIs = p.uprightWidth <= roomW && p.uprightHeight <= roomH;
                        if (fit == PageFit::Fit || !fitsAsItIs) {
                            EXPECT_TRUE(fills) << width << " x " << height << " in " << roomW << " x " << roomH;
                        }
                        if (fit == PageFit::Shrink) {
                            // Never enlarged; a picture that fits keeps its own size.
                            EXPECT_LE(width, p.uprightWidth + 0.01);
                            if (fitsAsItIs) {
                                EXPECT_NEAR(width, p.uprightWidth, 0.01);
                            }
                        }
                    }
                }
    EXPECT_EQ(runs, 108);
    expectCleanPdf(pdf);
}

TEST(ConverterLayout, TurnedAndMirroredPicturesStayUprightOnPaper)
{
    // Qt's reader applies the EXIF orientation itself: an independent view of "upright".
    const QByteArray base = qtJpeg(quadrantPicture(64, 48), false, 95);
    QTemporaryDir dir;
    QStringList args = argumentsOf({Paper::A5, PageOrientation::Auto, 10, PageFit::Fit});
    args << QStringLiteral("--out") << dir.filePath(QStringLiteral("out.pdf"));
    QList<QImage> expected;
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const QString path = dir.filePath(QStringLiteral("o%1.jpg").arg(orientation));
        ExifFields exif;
        exif.orientation = orientation;
        writeFile(path, withExif(base, exif));
        QImageReader reader(path);
        reader.setAutoTransform(true);
        expected << reader.read();
        args << path;
    }
    const ProcessResult run = runConverter(args);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const std::vector<Box> boxes = pictureBoxes(dir.filePath(QStringLiteral("out.pdf")));
    ASSERT_EQ(boxes.size(), 8u);
    const std::vector<PdfPageInfo> pages = pdfPages(dir.filePath(QStringLiteral("out.pdf")));
    for (int page = 0; page < 8; ++page) {
        SCOPED_TRACE(testing::Message() << "EXIF orientation " << page + 1);
        const QImage &want = expected[page];
        // 自动: a sideways picture gets a portrait page, a wide one a landscape page.
        EXPECT_EQ(pages[page].width > pages[page].height, want.width() > want.height());
        const int dpi = 36;
        const QImage rendered = renderPage(dir.filePath(QStringLiteral("out.pdf")), page + 1, dpi);
        ASSERT_FALSE(rendered.isNull());
        const Box &b = boxes[page];
        for (double fx : {0.25, 0.75})
            for (double fy : {0.25, 0.75}) {
                // A point of the upright picture, on the page (PDF y goes up, pixels go down).
                const double x = b.left + fx * (b.right - b.left), yTop = (b.top - b.bottom) * fy;
                const QPoint at(int(x * dpi / 72), int((pages[page].height - b.top + yTop) * dpi / 72));
                expectColourAt(rendered.pixelColor(at),
                               want.pixelColor(int(fx * want.width()), int(fy * want.height())), fx, fy);
            }
    }
}

TEST(ConverterLayout, TheOriginalPaperWritesThePdfWrittenWithoutLayout)
{
    QTemporaryDir dir;
    QStringList files;
    for (const Picture &p : pictures) {
        files << dir.filePath(QString::fromLatin1(p.name));
        writeFile(files.last(), pictureBytes(p));
    }
    const QString plain = dir.filePath(QStringLiteral("plain.pdf"));
    ASSERT_EQ(runConverter(QStringList{QStringLiteral("--out"), plain} + files).exitCode, 0);
    // The other choices mean nothing on the original paper.
    for (const PageLayout &layout :
         {PageLayout{}, PageLayout{Paper::Original, PageOrientation::Landscape, 20, PageFit::Shrink}}) {
        const QString laidOut = dir.filePath(QStringLiteral("layout.pdf"));
        QStringList args{QStringLiteral("--paper=original"),
                         QStringLiteral("--orientation=%1").arg(QLatin1String(orientationWord(layout.orientation))),
                         QStringLiteral("--margin-mm=%1").arg(layout.marginMm),
                         QStringLiteral("--fit=%1").arg(QLatin1String(fitWord(layout.fit)))};
        ASSERT_EQ(runConverter(args + QStringList{QStringLiteral("--out"), laidOut} + files).exitCode, 0);
        EXPECT_EQ(withoutId(laidOut), withoutId(plain));
    }
    EXPECT_TRUE(withoutId(plain).contains("/Rotate 90")) << "the original paper turns with /Rotate";
}

TEST(ConverterLayout, RefusesALayoutItDoesNotUnderstand)
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("a.jpg"));
    writeFile(picture, qtJpeg(quadrantPicture(32, 32)));
    for (const char *bad : {"--paper=A3", "--orientation=sideways", "--margin-mm=51", "--margin-mm=-1",
                            "--margin-mm=1.5", "--fit=stretch", "--paper="}) {
        SCOPED_TRACE(bad);
        const ProcessResult run = runConverter(
            {QString::fromLatin1(bad), QStringLiteral("--out"), dir.filePath(QStringLiteral("out.pdf")), picture});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.pdf"))));
    }
}
