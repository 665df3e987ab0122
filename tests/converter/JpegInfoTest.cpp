// The JPEG check decides what goes into a PDF untouched: it must accept what readers show and
// name the fault of everything else, whatever the header claims.
#include "contract/JpegInfo.h"
#include "AllocationCount.h"
#include "TestJpegs.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

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
    const qsizetype dqt = segmentOffset(baseline(), 0xDB);
    QByteArray noMarker = baseline(), unexpectedMarker = baseline(), shortSegment = baseline();
    noMarker[dqt] = 0x00;
    unexpectedMarker[dqt + 1] = char(0xD8);
    shortSegment[dqt + 2] = 0;
    shortSegment[dqt + 3] = 1;
    const QByteArray frame =
        baseline().mid(sof + 4, (uchar(baseline()[sof + 2]) << 8 | uchar(baseline()[sof + 3])) - 2);
    QByteArray fiveComponents = frame.left(6) + QByteArray::fromHex("010000020000030000040000050000");
    fiveComponents[5] = 5;
    QByteArray zeroWidth = baseline();
    zeroWidth[sof + 7] = 0;
    zeroWidth[sof + 8] = 0;
    QByteArray hugeSegment = baseline();
    hugeSegment[4] = char(0xFF); // JFIF segment length 0xFF.. runs past the end
    hugeSegment.truncate(200);

    const RejectedCase cases[] = {
        {"empty", {}, "空文件"},
        {"PNG under a .jpg name", pngBytes(picture()), "不是JPEG图片（PNG）"},
        {"text", "hello, world\n", "不是JPEG图片"},
        {"cut off in the picture data", baseline().left(sos + (baseline().size() - sos) / 2),
         "图片数据不完整（没有结束标记）"},
        {"cut off in the header", baseline().left(sos - 3), "图片文件头不完整"},
        {"segment longer than the file", hugeSegment, "图片文件头不完整"},
        {"lossless (SOF3)", withFrame(baseline(), 0xC3), "不支持的图片类型（无损JPEG）"},
        {"hierarchical (SOF5)", withFrame(baseline(), 0xC5), "不支持的图片类型（分层JPEG）"},
        {"arithmetic (SOF9)", withFrame(baseline(), 0xC9), "不支持的图片类型（算术编码JPEG）"},
        {"arithmetic progressive (SOF10)", withFrame(baseline(), 0xCA), "不支持的图片类型（算术编码JPEG）"},
        {"arithmetic lossless (SOF15)", withFrame(baseline(), 0xCF), "不支持的图片类型（算术编码JPEG）"},
        {"12-bit", withFrame(baseline(), 0xC1, 12), "不支持的图片类型（12位JPEG）"},
        {"component count against segment length", threeComponentsClaimingTwo, "图片已损坏（帧头有误）"},
        {"height deferred to a DNL marker", zeroHeight, "不支持的图片类型（高度在图像数据之后给出）"},
        {"scan before any frame", withoutSegments(baseline(), 0xC0), "图片已损坏（图像数据在帧头之前）"},
        {"only start and end markers", QByteArray("\xFF\xD8\xFF\xD9", 4), "图片已损坏（没有图像数据）"},
        {"no marker where one is due", noMarker, "图片已损坏（缺少标记）"},
        {"a second start marker", unexpectedMarker, "图片已损坏（意外的标记）"},
        {"segment length below 2", shortSegment, "图片已损坏（段长度有误）"},
        {"two frame headers", withSegment(baseline(), 0xC0, frame), "图片已损坏（两个帧头）"},
        {"five colour components", withSegment(withoutSegments(baseline(), 0xC0), 0xC0, fiveComponents),
         "不支持的图片类型（5个颜色分量）"},
        {"zero width", zeroWidth, "图片没有尺寸（宽度为0）"},
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
    // A file is read in pieces: the header from the front (4 KB at least, more for a segment the
    // page needs), the end from the back (4 KB first). These reach past the first pieces both ways.
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
    EXPECT_EQ(reason, "无法读取文件（No such file or directory）");
    EXPECT_FALSE(inspectJpegFile(dir.path().toStdString(), info, reason));
    EXPECT_EQ(reason, "不是文件");
}

TEST(JpegInfo, StepsOverMetadataThePageDoesNotUse)
{
    // 114 segments of 64 KB (7.3 MB) of extended XMP before everything else, as photo editors
    // leave them; after them the EXIF segment the page needs, the frame and the picture data.
    ExifFields exif;
    exif.orientation = 6;
    exif.xResolution = exif.yResolution = std::pair{300u, 1u};
    const QByteArray plain = withExif(withoutSegments(baseline(), 0xE0), exif);
    const QByteArray heavy = withBulkyXmp(plain, 114);
    ASSERT_GT(heavy.size(), 7'000'000);

    std::size_t total = 0, largest = 0;
    const ReadAt read = [&](std::uint64_t offset, std::span<unsigned char> into, std::string &) {
        total += into.size();
        largest = std::max(largest, into.size());
        std::memcpy(into.data(), heavy.constData() + offset, into.size());
        return true;
    };
    JpegInfo info;
    std::string reason;
    ASSERT_TRUE(inspectJpegPieces(read, std::uintmax_t(heavy.size()), info, reason)) << reason;
    const Inspected expected = inspect(plain);
    ASSERT_TRUE(expected.ok) << expected.reason;
    EXPECT_EQ(info.width, expected.info.width);
    EXPECT_EQ(info.height, expected.info.height);
    EXPECT_EQ(info.components, expected.info.components);
    EXPECT_EQ(info.orientation, 6);
    EXPECT_DOUBLE_EQ(info.dpiX, 300);
    EXPECT_DOUBLE_EQ(info.dpiY, 300);
    EXPECT_EQ(info.fileSize, std::uintmax_t(heavy.size()));
    // A little at each marker, never the segments stepped over.
    EXPECT_LE(largest, kLargestJpegRead + PieceSizes{}.head);
    EXPECT_LT(total, std::size_t(heavy.size()) / 10);

    // The file the same way, in memory that does not grow with what the file holds.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("heavy.jpg"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(heavy), heavy.size());
    file.close();
    const std::filesystem::path filePath = path.toStdString();
    bool ok = false;
    std::size_t allocated = 0;
    {
        const test::AllocationCount count;
        ok = inspectJpegFile(filePath, info, reason);
        allocated = count.bytes();
    }
    ASSERT_TRUE(ok) << reason;
    EXPECT_EQ(info.orientation, 6);
    EXPECT_LT(allocated, 2 * kLargestJpegRead);
}
