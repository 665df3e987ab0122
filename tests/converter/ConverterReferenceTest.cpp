// pdf.exe reading passed-through JPEGs where they lie, through the page references the staging
// folder lists for them: the bytes go in unchanged and in page order beside pages staged whole, whatever the
// picture's path holds; a picture no longer the file the program checked, or a reference that
// cannot be read, is left out with its reason while the others still make the PDF.
#include "ConverterChecks.h"
#include "ConverterRun.h"
#include "ConverterStaging.h"
#include "TestJpegs.h"

#include "contract/Reasons.h"

#include <QFile>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace pagemint;
using namespace pagemint::test;

namespace {

namespace fs = std::filesystem;

fs::path writePicture(const fs::path &path, const QByteArray &bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.constData(), bytes.size());
    return path;
}

TEST(ConverterReference, ReferencedPicturesGoInUnchangedAndChangedOnesAreLeftOut)
{
    const Staging staging;
    const fs::path pictures = staging.root().toStdString();
    const QByteArray staged = qtJpeg(quadrantPicture(40, 30));
    const QByteArray first = qtJpeg(quadrantPicture(64, 48)), second = qtJpeg(quadrantPicture(48, 64));
    const QByteArray later = qtJpeg(quadrantPicture(32, 32));

    staging.putPage(0, staged); // a decoded page, staged whole
    staging.putReference(1, writePicture(pictures / "photo.jpg", first));
    staging.putReference(2, writePicture(pictures / "caf\xe9\nline.jpg", second));
    const fs::path grown = writePicture(pictures / "grown.jpg", later);
    staging.putReference(3, grown);
    std::ofstream(grown, std::ios::binary | std::ios::app) << "more";
    const fs::path removed = writePicture(pictures / "removed.jpg", later);
    staging.putReference(4, removed);
    fs::remove(removed);
    staging.putReference(5, writePicture(pictures / "notes.jpg", "no JPEG at all"));
    {
        QFile list(staging.referencesPath());
        ASSERT_TRUE(list.open(QIODevice::Append));
        list.write("00006.jpg 5\n1 2 3\n");
    }
    staging.putReference(7, writePicture(pictures / "last.jpg", later));

    const ProcessResult run = staging.run();

    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(extractedJpegs(staging.pdf()), (QList<QByteArray>{staged, first, second, later}));
    expectCleanPdf(staging.pdf());
    const QString changed = QString::fromUtf8(reason::kChangedSinceChecked.data());
    const QStringList leftOut = lines(run.err).filter(QStringLiteral("left-out:"));
    ASSERT_EQ(leftOut.size(), 4) << run.err.toStdString();
    EXPECT_EQ(leftOut[0], QStringLiteral("left-out:00003.jpg:") + changed);
    EXPECT_EQ(leftOut[1], QStringLiteral("left-out:00004.jpg:") + changed);
    EXPECT_TRUE(
        leftOut[2].startsWith(QStringLiteral("left-out:00005.jpg:") + QString::fromUtf8(reason::kNotJpeg.data())))
        << leftOut[2].toStdString();
    EXPECT_EQ(leftOut[3], QStringLiteral("left-out:00006.jpg:") + QString::fromUtf8(reason::kCannotRead.data()));
}

} // namespace
