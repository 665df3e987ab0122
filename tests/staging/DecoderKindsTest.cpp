// Kinds of picture the readers used to get wrong: BMPs with bit-field masks and run-length data,
// valid kinds no reader here takes, pictures beyond Qt's own allocation limit, and PNGs whose
// chunks claim a gigabyte. Each picture is written by the test, byte by byte.
#include "DecoderHelperRun.h"
#include "DecoderPictures.h"
#include "StagingTestBase.h"
#include "TestPictures.h"
#include "support/FileBytes.h"

#include "contract/DecodeOutcome.h"
#include "contract/Reasons.h"
#include "conversion/ReasonWords.h"
#include "conversion/StagePage.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <cmath>

namespace pagemint::test {
namespace {

using decoder::ExitCode;

// Colour of the page at fractions of its width and height, read scaled down where it is large.
QColor colourAt(const QString &page, double x, double y)
{
    QImageReader reader(page, "JPEG");
    const QSize size = reader.size();
    if (size.width() > 2000)
        reader.setScaledSize(size / 8);
    const QImage image = reader.read();
    if (image.isNull())
        return {};
    return image.pixelColor(std::min(image.width() - 1, int(x * image.width())),
                            std::min(image.height() - 1, int(y * image.height())));
}

class DecoderKindsTest : public StagingTest {
protected:
    QString page() const { return env.root() + QStringLiteral("/page.jpg"); }
    QString write(const QString &name, const QByteArray &bytes) const { return writeBytes(picture(name), bytes); }
};

// One colour channel as stored in `bits` bits, and as it reads back on 0..255.
quint32 stored(int value, int bits)
{
    const quint32 max = (1u << bits) - 1;
    return static_cast<quint32>(std::lround(value * double(max) / 255));
}

int readBack(int value, int bits)
{
    const quint32 max = (1u << bits) - 1;
    return static_cast<int>(std::lround(stored(value, bits) * 255.0 / max));
}

struct MaskCase {
    const char *name;
    int bitsPerPixel;
    quint32 compression;
    int infoSize;
    std::array<int, 4> widths; // red, green, blue, alpha bits, from the top of the word down
    quint32 otherBits;         // set in the bits no mask names (a fourth byte that is no alpha)
};

const MaskCase maskCases[] = {
    {"5-6-5", 16, 3, 40, {5, 6, 5, 0}, 0},
    {"5-5-5", 16, 3, 40, {5, 5, 5, 0}, 0x8000},
    {"2-3-1", 16, 3, 40, {2, 3, 1, 0}, 0},
    {"1-9-2-4, the top bit no alpha", 16, 3, 40, {9, 2, 4, 0}, 0x8000},
    {"10-10-10 and 2 unused bits", 32, 3, 40, {10, 10, 10, 0}, 0xC0000000},
    {"8-8-8 with a fourth byte that is no alpha", 32, 3, 40, {8, 8, 8, 0}, 0x5A000000},
    {"10-10-10-2 with alpha", 32, 6, 40, {10, 10, 10, 2}, 0},
    {"8-8-8-8 in a V5 header", 32, 3, 124, {8, 8, 8, 8}, 0},
};

// The masks of a case, packed from the low bits up in the order blue, green, red, alpha (that is,
// red above green above blue, as BMP writers place them), and one pixel of `colour`.
struct Packed {
    std::array<quint32, 4> masks{};
    quint32 pixel(QColor colour) const;
    std::array<int, 4> widths;
};

Packed pack(const MaskCase &c)
{
    Packed packed;
    packed.widths = c.widths;
    int shift = 0;
    for (const int channel : {2, 1, 0, 3}) {
        const int width = c.widths[static_cast<std::size_t>(channel)];
        packed.masks[static_cast<std::size_t>(channel)] = width == 0 ? 0 : ((1u << width) - 1) << shift;
        shift += width;
    }
    return packed;
}

quint32 Packed::pixel(QColor colour) const
{
    const int values[] = {colour.red(), colour.green(), colour.blue(), 255};
    quint32 word = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        if (masks[i] == 0)
            continue;
        const int shift = std::countr_zero(masks[i]);
        word |= stored(values[i], widths[i]) << shift;
    }
    return word;
}

QColor readBack(QColor colour, const std::array<int, 4> &widths)
{
    return QColor(readBack(colour.red(), widths[0]), readBack(colour.green(), widths[1]),
                  readBack(colour.blue(), widths[2]));
}

TEST_F(DecoderKindsTest, BitFieldMasksAreReadChannelByChannel)
{
    const QColor left(255, 128, 0), right(40, 90, 255);
    int index = 0;
    for (const MaskCase &c : maskCases) {
        SCOPED_TRACE(c.name);
        const Packed packed = pack(c);
        BmpLayout layout{c.infoSize, 64, 48, c.bitsPerPixel, c.compression, packed.masks, {}};
        QByteArray pixels;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                const quint32 word = packed.pixel(x < 32 ? left : right) | c.otherBits;
                for (int byte = 0; byte < c.bitsPerPixel / 8; ++byte)
                    pixels += static_cast<char>((word >> (8 * byte)) & 0xFF);
            }
        const QString source = write(QStringLiteral("masks-%1.bmp").arg(index), bmpFile(layout, pixels));

        const StageResult result = StagePage(index, source);

        ASSERT_TRUE(result.staged) << result.reason.toStdString();
        const QColor expectedLeft = readBack(left, c.widths), expectedRight = readBack(right, c.widths);
        EXPECT_TRUE(near(pixelAt(stagedPage(index), 0.1), expectedLeft))
            << pixelAt(stagedPage(index), 0.1).name().toStdString() << " for " << expectedLeft.name().toStdString();
        EXPECT_TRUE(near(pixelAt(stagedPage(index), 0.9), expectedRight))
            << pixelAt(stagedPage(index), 0.9).name().toStdString() << " for " << expectedRight.name().toStdString();
        ++index;
    }
}

// RLE8 data of a 64 x 48 picture: `rows` rows from the bottom, red on the left and blue on the
// right (palette entries 1 and 2; entry 0 is black), then `ending`.
QByteArray runLengthRows(int rows, const QByteArray &ending)
{
    QByteArray data;
    for (int y = 0; y < rows; ++y)
        data += QByteArray("\x20\x01\x20\x02\x00\x00", 6);
    return data + ending;
}

QByteArray runLengthBmp(const QByteArray &data)
{
    const BmpLayout layout{40, 64, 48, 8, 1, {}, bmpPalette({Qt::black, Qt::red, Qt::blue})};
    return bmpFile(layout, data);
}

TEST_F(DecoderKindsTest, RowsRunLengthDataNeverPaintsAreWhiteOnEveryRun)
{
    const struct {
        const char *name;
        QByteArray data;
    } cases[] = {
        // The lower half, then the end of the picture: the upper half is never painted.
        {"ends early", runLengthRows(24, QByteArray("\x00\x01", 2))},
        // A jump over the middle rows.
        {"jumps", runLengthRows(8, QByteArray("\x00\x02\x00\x10", 4)) + runLengthRows(8, QByteArray("\x00\x01", 2))},
        // A run longer than the row, then rows that stop half-way.
        {"runs past the line", QByteArray("\x7F\x01\x00\x00", 4) +
                                   runLengthRows(24, {}).replace(QByteArray("\x20\x02", 2), {}) +
                                   QByteArray("\x00\x01", 2)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString source = write(QString::fromLatin1(c.name) + ".bmp", runLengthBmp(c.data));

        ASSERT_TRUE(StagePage(0, source).staged);
        const QByteArray first = bytesOf(stagedPage(0));
        ASSERT_TRUE(StagePage(0, source).staged);

        EXPECT_EQ(bytesOf(stagedPage(0)), first);
        EXPECT_TRUE(near(colourAt(stagedPage(0), 0.2, 0.1), Qt::white))
            << colourAt(stagedPage(0), 0.2, 0.1).name().toStdString();
        EXPECT_TRUE(near(colourAt(stagedPage(0), 0.2, 0.95), Qt::red))
            << colourAt(stagedPage(0), 0.2, 0.95).name().toStdString();
    }
}

TEST_F(DecoderKindsTest, RunLengthDataThatPaintsNothingIsRefusedAsDamaged)
{
    const QString source = write(QStringLiteral("only-jumps.bmp"),
                                 runLengthBmp(QByteArray("\x00\x02\x05\x05\x00\x02\x03\x03\x00\x01", 10)));

    const StageResult result = StagePage(0, source);

    EXPECT_FALSE(result.staged);
    EXPECT_TRUE(result.reason.startsWith(reasonWords(reason::kDamaged))) << result.reason.toStdString();
    EXPECT_FALSE(QFileInfo::exists(stagedPage(0)));
}

TEST_F(DecoderKindsTest, ValidKindsNoReaderTakesAreNamedUnsupported)
{
    const QByteArray jpeg = redBlueJpeg();
    const struct {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"two-bit.bmp", bmpFile({40, 64, 48, 2, 0, {}, bmpPalette({Qt::black, Qt::red, Qt::blue, Qt::white})},
                                QByteArray(16 * 48, '\x1B'))},
        {"sixty-four-bit.bmp", bmpFile({40, 64, 48, 64, 0, {}, {}}, QByteArray(64 * 8 * 48, '\x40'))},
        {"png-inside.bmp",
         bmpFile({40, 64, 48, 0, 5, {}, {}},
                 bytesOf(saveWithQt(halves(QImage::Format_RGB32, Qt::red, Qt::blue), picture("in.png"), "PNG")))},
        {"jpeg-inside.bmp", bmpFile({40, 64, 48, 0, 4, {}, {}}, jpeg)},
        {"twelve-bit.jpg", withFrame(jpeg, 0xC1, 12, 64, 48)},
        {"lossless.jpg", withFrame(jpeg, 0xC3, 8, 64, 48)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString source = write(QString::fromLatin1(c.name), c.bytes);

        const HelperExit run = runHelper(QStringLiteral(PAGEMINT_DECODER_PATH), source, page(), page() + ".err");
        const StageResult staged = StagePage(0, source);

        EXPECT_EQ(run.exitCode, int(ExitCode::UnsupportedKind)) << run.reason.toStdString();
        EXPECT_FALSE(staged.staged);
        EXPECT_TRUE(staged.reason.startsWith(reasonWords(reason::kUnsupportedKind))) << staged.reason.toStdString();
    }
}

// Qt's reader refuses pictures past its own allocation limit (128 MB in this Qt: 33.5 MP at 32
// bits); an A4 page scanned at 600 dpi, saved with a V5 header, is beyond it. Its pixel rows are
// left as a hole in the file (black), but for a blue band at the bottom and a red one at the top.
TEST_F(DecoderKindsTest, AnA4ScanAt600DpiPassesTheSecondReader)
{
    const int width = 4961, height = 7016, band = 64;
    const qint64 rowBytes = (width * 3 + 3) / 4 * 4;
    const BmpLayout layout{124, width, height, 24, 0, {}, {}};
    QByteArray header = bmpFile(layout, {});
    const QByteArray size = [&] {
        QByteArray le;
        for (int i = 0; i < 4; ++i)
            le += static_cast<char>(((header.size() + rowBytes * height) >> (8 * i)) & 0xFF);
        return le;
    }();
    header.replace(2, 4, size);
    QByteArray blueRow, redRow;
    for (int x = 0; x < width; ++x) {
        blueRow += QByteArray("\xFF\x00\x00", 3);
        redRow += QByteArray("\x00\x00\xFF", 3);
    }
    blueRow.resize(rowBytes, '\0');
    redRow.resize(rowBytes, '\0');
    QFile file(picture("a4-600dpi.bmp"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(header);
    for (int y = 0; y < band; ++y)
        file.write(blueRow); // stored bottom-up: the first rows are the bottom of the page
    ASSERT_TRUE(file.resize(header.size() + rowBytes * (height - band)));
    ASSERT_TRUE(file.seek(file.size()));
    for (int y = 0; y < band; ++y)
        file.write(redRow);
    file.close();
    ASSERT_EQ(file.size(), header.size() + rowBytes * height);

    const StageResult result = StagePage(0, file.fileName());

    ASSERT_TRUE(result.staged) << result.reason.toStdString();
    EXPECT_EQ(QImageReader(stagedPage(0), "JPEG").size(), QSize(width, height));
    EXPECT_TRUE(near(colourAt(stagedPage(0), 0.5, 0.002), Qt::red))
        << colourAt(stagedPage(0), 0.5, 0.002).name().toStdString();
    EXPECT_TRUE(near(colourAt(stagedPage(0), 0.5, 0.5), Qt::black));
    EXPECT_TRUE(near(colourAt(stagedPage(0), 0.5, 0.998), Qt::blue))
        << colourAt(stagedPage(0), 0.5, 0.998).name().toStdString();
}

// libpng allocates what such a chunk claims before it reads it: a gigabyte and seconds for each
// reader, unless the chunks are walked first.
TEST_F(DecoderKindsTest, PngChunksClaimingAGigabyteAreRefusedWithoutTakingIt)
{
    constexpr long kMostKilobytes = 200 * 1024;
    for (const char *type : {"tEXt", "zTXt", "iTXt", "pCAL", "sCAL", "sPLT", "iCCP"}) {
        const QByteArray png = pngWithChunkClaiming(type, 1u << 30);
        ASSERT_EQ(png.size(), 57);
        const QString source = write(QStringLiteral("claims-%1.png").arg(QLatin1String(type)), png);
        for (const QString &helper : {QStringLiteral(PAGEMINT_DECODER_PATH), fallbackDecoderPath()}) {
            SCOPED_TRACE(std::string(type) + " " + QFileInfo(helper).fileName().toStdString());

            const HelperExit run = runHelper(helper, source, page(), page() + ".err");

            EXPECT_EQ(run.exitCode, int(ExitCode::Damaged)) << run.reason.toStdString();
            EXPECT_TRUE(run.reason.startsWith(reasonWords(reason::kDamaged))) << run.reason.toStdString();
            EXPECT_TRUE(run.reason.contains(QLatin1String(type))) << run.reason.toStdString();
            EXPECT_LT(run.peakKilobytes, kMostKilobytes);
        }
    }
}

} // namespace
} // namespace pagemint::test
