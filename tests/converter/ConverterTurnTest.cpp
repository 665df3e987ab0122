// pdf.exe turning single pages as the user asked (--turn), on top of their EXIF orientation: the
// picture bytes stay as they were, and the rendered page shows the picture turned by both.
#include "ConverterChecks.h"
#include "ConverterRun.h"
#include "TestJpegs.h"

#include "contract/PageLayout.h"
#include "contract/PageTurn.h"

#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTransform>

#include <gtest/gtest.h>

using namespace pagemint;
using namespace pagemint::test;

TEST(ConverterTurn, TurnsPagesOnTopOfExifAndKeepsTheirBytes)
{
    const QByteArray base = qtJpeg(quadrantPicture(64, 48), false, 95);
    QTemporaryDir dir;
    QStringList pictures, turnArguments;
    QList<QByteArray> bytes;
    QList<QImage> expected;
    // Upright, a quarter turn (6), a mirror (2) and a transpose (5) under every user turn.
    for (int orientation : {1, 6, 2, 5}) {
        for (int turn : {0, 90, 180, 270}) {
            const QString name = QStringLiteral("o%1-t%2.jpg").arg(orientation).arg(turn);
            ExifFields exif;
            exif.orientation = orientation;
            bytes << withExif(base, exif);
            writeFile(dir.filePath(name), bytes.constLast());
            pictures << dir.filePath(name);
            if (turn != 0)
                turnArguments << QString::fromStdString(turnArgument(name.toStdString(), turn));
            // Qt's reader applies the EXIF orientation itself, and QTransform turns clockwise on
            // the screen: an independent view of what the page must show.
            QImageReader reader(dir.filePath(name));
            reader.setAutoTransform(true);
            expected << reader.read().transformed(QTransform().rotate(turn));
        }
    }
    const struct {
        const char *name;
        QStringList layout;
        int dpi;
    } papers[] = {
        {"original paper", {}, 96},
        {"picture paper", {QStringLiteral("--paper=picture")}, 12},
    };
    for (const auto &paper : papers) {
        SCOPED_TRACE(paper.name);
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        const ProcessResult run =
            runConverter(paper.layout + turnArguments + QStringList{QStringLiteral("--out"), pdf} + pictures);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        expectCleanPdf(pdf);
        EXPECT_EQ(extractedJpegs(pdf), bytes) << "the JPEG bytes did not come back unchanged";
        const std::vector<PdfPageInfo> pages = pdfPages(pdf);
        ASSERT_EQ(pages.size(), std::size_t(expected.size()));
        for (qsizetype page = 0; page < expected.size(); ++page) {
            SCOPED_TRACE(QFileInfo(pictures[page]).fileName().toStdString());
            const QImage &want = expected[page];
            const QImage rendered = renderPage(pdf, int(page) + 1, paper.dpi);
            ASSERT_FALSE(rendered.isNull());
            // A quarter turn swaps the page's sides, as it swaps the picture's.
            EXPECT_EQ(rendered.width() > rendered.height(), want.width() > want.height());
            for (double fx : {0.25, 0.75})
                for (double fy : {0.25, 0.75})
                    expectColourAt(rendered.pixelColor(int(fx * rendered.width()), int(fy * rendered.height())),
                                   want.pixelColor(int(fx * want.width()), int(fy * want.height())), fx, fy);
        }
    }
}

TEST(ConverterTurn, RefusesATurnItDoesNotUnderstand)
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("a.jpg"));
    writeFile(picture, qtJpeg(quadrantPicture(16, 16)));
    for (const char *bad : {"--turn=a.jpg:45", "--turn=a.jpg", "--turn=:90", "--turn=a.jpg:-90"}) {
        SCOPED_TRACE(bad);
        const ProcessResult run = runConverter(
            {QString::fromLatin1(bad), QStringLiteral("--out"), dir.filePath(QStringLiteral("out.pdf")), picture});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("out.pdf"))));
    }
}
