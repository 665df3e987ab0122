// The JPEG check decides what goes into a PDF untouched: it must accept what readers show and
// name the fault of everything else, whatever the header claims.
#include "contract/JpegInfo.h"
#include "TestJpegs.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace pagemint;
using namespace pagemint::test;

namespace {

std::span<const unsigned char> bytesOf(const QByteArray &b)
{
    return {reinterpret_cast<const unsigned char *>(b.constData()), std::size_t(b.size())};
}

struct Inspected {
    bool ok;
    JpegInfo info;
    std::string reason;
};

Inspected inspect(const QByteArray &bytes)
{
    Inspected r{};
    r.ok = inspectJpeg(bytesOf(bytes), r.info, r.reason);
    return r;
}

const QImage &picture()
{
    static const QImage image = quadrantPicture(40, 24);
    return image;
}
const QByteArray &baseline()
{
    static const QByteArray bytes = qtJpeg(picture());
    return bytes;
}

} // namespace

struct AcceptedCase {
    const char *name;
    QByteArray bytes;
    int components;
    bool progressive;
    bool adobeInverted;
};

TEST(JpegInfo, AcceptsWhatPdfReadersShow)
{
    const QByteArray cmyk = cmykJpeg(12, 10, {0, 255, 0, 0});
    const AcceptedCase cases[] = {
        {"baseline RGB", baseline(), 3, false, false},
        {"progressive RGB", qtJpeg(picture(), true), 3, true, false},
        {"gray", qtJpeg(picture().convertToFormat(QImage::Format_Grayscale8)), 1, false, false},
        {"CMYK with Adobe marker", cmyk, 4, false, true},
        {"CMYK without Adobe marker", withoutSegments(cmyk, 0xEE), 4, false, false},
        {"extended sequential (SOF1)", withFrame(baseline(), 0xC1), 3, false, false},
        {"data after the end marker", baseline() + QByteArray(5000, 'x'), 3, false, false},
        {"fill bytes before a marker", QByteArray(baseline()).insert(2, "\xFF\xFF", 2), 3, false, false},
    };
    for (const AcceptedCase &c : cases) {
        SCOPED_TRACE(c.name);
        const Inspected r = inspect(c.bytes);
        ASSERT_TRUE(r.ok) << r.reason;
        EXPECT_EQ(r.info.components, c.components);
        EXPECT_EQ(r.info.progressive, c.progressive);
        EXPECT_EQ(r.info.adobeInverted, c.adobeInverted);
        EXPECT_EQ(r.info.bitsPerComponent, 8);
        EXPECT_EQ(r.info.fileSize, std::uintmax_t(c.bytes.size()));
    }
    EXPECT_EQ(inspect(baseline()).info.width, 40);
    EXPECT_EQ(inspect(baseline()).info.height, 24);
    EXPECT_EQ(inspect(cmyk).info.width, 12);
}

struct RejectedCase {
    const char *name;
    QByteArray bytes;
    const char *reason;
};

TEST(JpegInfo, NamesTheFaultOfWhatItRefuses)
{
    const qsizetype sos = segmentOffset(baseline(), 0xDA);
    const qsizetype sof = segmentOffset(baseline(), 0xC0);
    QByteArray threeComponentsClaimingTwo = baseline();
    threeComponentsClaimingTwo[sof + 9] = 2;
    QByteArray zeroHeight = baseline();
    zeroHeight[sof + 5] = 0;
    zeroHeight[sof + 6] = 0;
    QByteArray hugeSegment = baseline();
    hugeSegment[4] = char(0xFF); // JFIF segment length 0xFF.. runs past the end
    hugeSegment.truncate(200);

    const RejectedCase cases[] = {
        {"empty", {}, "empty file"},
        {"PNG under a .jpg name", pngBytes(picture()), "not a JPEG (PNG data)"},
        {"text", "hello, world\n", "not a JPEG"},
        {"cut off in the picture data", baseline().left(sos + (baseline().size() - sos) / 2),
         "truncated (no end marker)"},
        {"cut off in the header", baseline().left(sos - 3), "truncated (ends in the header)"},
        {"segment longer than the file", hugeSegment, "truncated (ends in the header)"},
        {"lossless (SOF3)", withFrame(baseline(), 0xC3), "lossless JPEG"},
        {"hierarchical (SOF5)", withFrame(baseline(), 0xC5), "hierarchical JPEG"},
        {"arithmetic (SOF9)", withFrame(baseline(), 0xC9), "arithmetic-coded JPEG"},
        {"arithmetic progressive (SOF10)", withFrame(baseline(), 0xCA), "arithmetic-coded JPEG"},
        {"arithmetic lossless (SOF15)", withFrame(baseline(), 0xCF), "arithmetic-coded JPEG"},
        {"12-bit", withFrame(baseline(), 0xC1, 12), "12-bit JPEG"},
        {"component count against segment length", threeComponentsClaimingTwo, "damaged frame header"},
        {"height deferred to a DNL marker", zeroHeight, "height given after the picture data (DNL)"},
        {"scan before any frame", withoutSegments(baseline(), 0xC0), "picture data before the frame header"},
        {"only start and end markers", QByteArray("\xFF\xD8\xFF\xD9", 4), "no picture data"},
    };
    for (const RejectedCase &c : cases) {
        SCOPED_TRACE(c.name);
        const Inspected r = inspect(c.bytes);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.reason, c.reason);
    }
}

TEST(JpegInfo, ReadsOrientationFromExifInBothByteOrders)
{
    // Out-of-range values mean upright rather than a refused file.
    const std::pair<int, int> orientations[] = {{1, 1}, {3, 3}, {5, 5}, {6, 6}, {8, 8}, {0, 1}, {9, 1}, {0xFFFF, 1}};
    for (bool bigEndian : {true, false}) {
        for (const auto &[stored, expected] : orientations) {
            SCOPED_TRACE(testing::Message() << "stored " << stored << (bigEndian ? " MM" : " II"));
            ExifFields exif;
            exif.bigEndian = bigEndian;
            exif.orientation = stored;
            const Inspected r = inspect(withExif(baseline(), exif));
            ASSERT_TRUE(r.ok) << r.reason;
            EXPECT_EQ(r.info.orientation, expected);
        }
    }
}

struct ResolutionCase {
    const char *name;
    QByteArray bytes;
    double dpiX, dpiY;
};

TEST(JpegInfo, TakesJfifDensityThenExifResolution)
{
    const auto exif = [](std::uint32_t x, std::uint32_t y, std::optional<int> unit, bool bigEndian = true) {
        ExifFields f;
        f.bigEndian = bigEndian;
        f.xResolution = std::pair{x, 1u};
        f.yResolution = std::pair{y, 1u};
        f.resolutionUnit = unit;
        return f;
    };
    const QByteArray noJfif = withoutSegments(baseline(), 0xE0);
    const QByteArray jfifUnknown = withJfifDensity(baseline(), 1, 0, 0);
    const ResolutionCase cases[] = {
        {"JFIF per inch", withJfifDensity(baseline(), 1, 300, 150), 300, 150},
        {"JFIF per cm", withJfifDensity(baseline(), 2, 100, 100), 254, 254},
        {"JFIF wins over EXIF", withExif(withJfifDensity(baseline(), 1, 72, 72), exif(600, 600, 2)), 72, 72},
        {"JFIF aspect ratio only, EXIF used", withExif(withJfifDensity(baseline(), 0, 1, 1), exif(200, 100, 2)), 200,
         100},
        {"JFIF density 0 is unknown", jfifUnknown, 0, 0},
        {"JFIF density 0, EXIF used", withExif(jfifUnknown, exif(200, 200, 2, false)), 200, 200},
        {"EXIF per inch by default", withExif(noJfif, exif(240, 240, std::nullopt)), 240, 240},
        {"EXIF per cm", withExif(noJfif, exif(50, 50, 3)), 127, 127},
        {"EXIF without unit meaning", withExif(noJfif, exif(300, 300, 1)), 0, 0},
        {"nothing stated", noJfif, 0, 0},
    };
    for (const ResolutionCase &c : cases) {
        SCOPED_TRACE(c.name);
        const Inspected r = inspect(c.bytes);
        ASSERT_TRUE(r.ok) << r.reason;
        EXPECT_DOUBLE_EQ(r.info.dpiX, c.dpiX);
        EXPECT_DOUBLE_EQ(r.info.dpiY, c.dpiY);
    }
}

TEST(JpegInfo, SurvivesExifOffsetsPointingAnywhere)
{
    // IFD and value offsets past the segment, a zero denominator, an entry count past the end.
    QByteArray tiff("MM\0*\xFF\xFF\xFF\xF0", 8);
    QByteArray zeroDenominator = exifPayload({true, 6, std::pair{300u, 0u}, std::pair{300u, 0u}, 2});
    QByteArray countPastEnd = exifPayload({true, 3, {}, {}, {}});
    countPastEnd[6 + 8] = char(0xFF); // IFD entry count 0xFF01
    const QByteArray payloads[] = {
        QByteArray("Exif\0\0", 6) + tiff,
        QByteArray("Exif\0\0", 6) + "MM",
        zeroDenominator,
        countPastEnd,
    };
    for (const QByteArray &payload : payloads) {
        const Inspected r = inspect(withSegment(withJfifDensity(baseline(), 0, 1, 1), 0xE1, payload));
        ASSERT_TRUE(r.ok) << r.reason;
        EXPECT_DOUBLE_EQ(r.info.dpiX, 0);
    }
    // The first IFD entry still counts when the count claims more entries than the segment holds.
    EXPECT_EQ(inspect(withSegment(baseline(), 0xE1, countPastEnd)).info.orientation, 3);
}

TEST(JpegInfo, FileCheckMatchesTheBytesCheck)
{
    // A file is read in pieces: the header from the front (16 KB first), the end from the back
    // (4 KB first). These reach past the first pieces both ways.
    const QByteArray bigHeader = withSegment(baseline(), 0xE2, QByteArray(60000, 'x'));
    const QByteArray markerAcrossPieces = baseline() + QByteArray(4095, '\0'); // FF | D9 at the seam
    QTemporaryDir dir;
    const struct {
        const char *name;
        QByteArray bytes;
    } files[] = {
        {"good.jpg", baseline()},
        {"empty.jpg", {}},
        {"cut.jpg", baseline().left(baseline().size() - 40)},
        {"header-past-first-piece.jpg", withExif(bigHeader, ExifFields{true, 6, {}, {}, {}})},
        {"cut-in-big-header.jpg", bigHeader.left(30000)},
        {"cut-after-big-header.jpg", bigHeader.left(bigHeader.size() - 40)},
        {"data-after-end-marker.jpg", baseline() + QByteArray(100000, '\0')},
        {"end-marker-across-pieces.jpg", markerAcrossPieces},
        {"cut-with-data-after.jpg", baseline().left(baseline().size() - 2) + QByteArray(100000, '\0')},
    };
    for (const auto &f : files) {
        SCOPED_TRACE(f.name);
        const QString path = dir.filePath(QString::fromLatin1(f.name));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(f.bytes);
        file.close();
        JpegInfo info;
        std::string reason;
        const bool ok = inspectJpegFile(path.toStdString(), info, reason);
        const Inspected expected = inspect(f.bytes);
        EXPECT_EQ(ok, expected.ok);
        EXPECT_EQ(reason, expected.reason);
        EXPECT_EQ(info.width, expected.info.width);
        EXPECT_EQ(info.orientation, expected.info.orientation);
        EXPECT_EQ(info.fileSize, std::uintmax_t(f.bytes.size()));
    }
    JpegInfo info;
    std::string reason;
    EXPECT_FALSE(inspectJpegFile(dir.filePath(QStringLiteral("missing.jpg")).toStdString(), info, reason));
    EXPECT_NE(reason.find("cannot open"), std::string::npos);
    EXPECT_FALSE(inspectJpegFile(dir.path().toStdString(), info, reason));
    EXPECT_EQ(reason, "not a regular file");
}
