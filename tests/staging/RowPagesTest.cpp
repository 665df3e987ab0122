// A page made row by row (a PNG's, an opaque HEIC's) is the page FreeImage makes of the whole
// picture, byte for byte; and a large PNG's is made without the whole picture in memory.
#include "DecoderHelperRun.h"
#include "StagingTestBase.h"
#include "support/FileBytes.h"
#include "support/HeifPictures.h"

#include "FlattenOnWhite.h"
#include "PageWriter.h"
#include "contract/DecodeOutcome.h"

#include <FreeImage.h>

#include <QFile>
#include <QProcess>

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace pagemint::test {
namespace {

using decoder::ImageHandle;

// A picture of `bpp` bits a pixel with rows and columns that differ, so that every row matters.
ImageHandle patterned(FREE_IMAGE_TYPE type, unsigned width, unsigned height, unsigned bpp)
{
    ImageHandle image(
        FreeImage_AllocateT(type, static_cast<int>(width), static_cast<int>(height), static_cast<int>(bpp)));
    if (!image)
        return {};
    const unsigned pitch = FreeImage_GetPitch(image.get());
    for (unsigned y = 0; y < height; ++y) {
        BYTE *row = FreeImage_GetScanLine(image.get(), static_cast<int>(y));
        for (unsigned i = 0; i < pitch; ++i)
            row[i] = static_cast<BYTE>((i * 7 + y * 13 + (i * y) / 5) & 0xFF);
    }
    if (bpp <= 8 && type == FIT_BITMAP) {
        RGBQUAD *palette = FreeImage_GetPalette(image.get());
        for (unsigned i = 0; i < FreeImage_GetColorsUsed(image.get()); ++i)
            palette[i] = {static_cast<BYTE>(i * 3), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 11), 0};
    }
    return image;
}

// The page as FreeImage makes it from the whole picture: the decoder's path before rows.
QByteArray pageOfTheWholePicture(const QString &png, const QString &page)
{
    ImageHandle image(FreeImage_Load(FIF_PNG, QFile::encodeName(png).constData(), 0));
    std::FILE *target = std::fopen(QFile::encodeName(page).constData(), "wb");
    if (!image || target == nullptr)
        return {};
    const bool written = decoder::writePictureAsPage(std::move(image), target).ok();
    std::fclose(target);
    return written ? bytesOf(page) : QByteArray();
}

void appendChunk(QByteArray &png, const char *type, const QByteArray &data)
{
    const QByteArray typed = QByteArray(type) + data;
    for (const quint32 value : {quint32(data.size())})
        for (int shift = 24; shift >= 0; shift -= 8)
            png += char((value >> shift) & 0xFF);
    png += typed;
    const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(typed.constData()), uInt(typed.size())));
    for (int shift = 24; shift >= 0; shift -= 8)
        png += char((crc >> shift) & 0xFF);
}

struct PngKind {
    const char *name;
    std::function<ImageHandle()> make;
    int saveFlags = PNG_DEFAULT;
    unsigned dotsPerMetre = 0;   // 0: FreeImage's default
    const char *chunk = nullptr; // an ancillary chunk put after the header: its type, then its data
    QByteArray chunkData = {};
};

class RowPagesTest : public StagingTest {
protected:
    QString page() const { return env.root() + QStringLiteral("/page.jpg"); }
    QString expected() const { return env.root() + QStringLiteral("/expected.jpg"); }
    QString save(const PngKind &kind)
    {
        ImageHandle image = kind.make();
        if (!image)
            return {};
        if (kind.dotsPerMetre != 0) {
            FreeImage_SetDotsPerMeterX(image.get(), kind.dotsPerMetre);
            FreeImage_SetDotsPerMeterY(image.get(), kind.dotsPerMetre * 2);
        }
        QString path = picture(QString::fromLatin1(kind.name) + QStringLiteral(".png"));
        if (!FreeImage_Save(FIF_PNG, image.get(), QFile::encodeName(path).constData(), kind.saveFlags))
            return {};
        if (kind.chunk != nullptr) {
            QByteArray png = bytesOf(path), chunk;
            appendChunk(chunk, kind.chunk, kind.chunkData);
            png.insert(8 + 25, chunk); // after the signature and IHDR
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size())
                return {};
        }
        return path;
    }
};

TEST_F(RowPagesTest, EveryKindOfPngGivesFreeImagesPageByteForByte)
{
    const PngKind kinds[] = {
        {"rgb", [] { return patterned(FIT_BITMAP, 97, 61, 24); }},
        {"rgb-300dpi", [] { return patterned(FIT_BITMAP, 97, 61, 24); }, PNG_DEFAULT, 11811},
        {"rgb-16bit", [] { return patterned(FIT_RGB16, 53, 41, 48); }},
        {"gray", [] { return ImageHandle(FreeImage_ConvertToGreyscale(patterned(FIT_BITMAP, 64, 48, 24).get())); }},
        {"gray-16bit", [] { return patterned(FIT_UINT16, 40, 30, 16); }},
        {"palette-8bit", [] { return patterned(FIT_BITMAP, 33, 17, 8); }},
        {"palette-4bit", [] { return patterned(FIT_BITMAP, 33, 17, 4); }},
        {"black-and-white", [] { return patterned(FIT_BITMAP, 35, 9, 1); }},
        // FreeImage corrects a stated gamma (1/2.2 is none), and ignores the colour space chunks.
        {"gamma-1.0", [] { return patterned(FIT_BITMAP, 97, 61, 24); }, PNG_DEFAULT, 0, "gAMA",
         QByteArray::fromHex("000186a0")},
        {"palette-gamma-1.0", [] { return patterned(FIT_BITMAP, 33, 17, 8); }, PNG_DEFAULT, 0, "gAMA",
         QByteArray::fromHex("000186a0")},
        {"black-and-white-gamma-1.0", [] { return patterned(FIT_BITMAP, 35, 9, 1); }, PNG_DEFAULT, 0, "gAMA",
         QByteArray::fromHex("000186a0")},
        {"gray-gamma-1.8",
         [] { return ImageHandle(FreeImage_ConvertToGreyscale(patterned(FIT_BITMAP, 64, 48, 24).get())); }, PNG_DEFAULT,
         0, "gAMA", QByteArray::fromHex("0000d8cc")},
        {"srgb", [] { return patterned(FIT_BITMAP, 97, 61, 24); }, PNG_DEFAULT, 0, "sRGB", QByteArray(1, 0)},
        {"rgb-16bit-gamma-1.0", [] { return patterned(FIT_RGB16, 53, 41, 48); }, PNG_DEFAULT, 0, "gAMA",
         QByteArray::fromHex("000186a0")},
        {"text", [] { return patterned(FIT_BITMAP, 97, 61, 24); }, PNG_DEFAULT, 0, "tEXt",
         QByteArray("Comment\0a note", 15)},
        // Read whole by FreeImage: its rows come in passes, transparency goes on white.
        {"interlaced", [] { return patterned(FIT_BITMAP, 97, 61, 24); }, PNG_INTERLACED},
        {"rgba", [] { return patterned(FIT_BITMAP, 31, 29, 32); }},
    };
    for (const PngKind &kind : kinds) {
        SCOPED_TRACE(kind.name);
        const QString png = save(kind);
        ASSERT_FALSE(png.isEmpty());
        const QByteArray whole = pageOfTheWholePicture(png, expected());
        ASSERT_FALSE(whole.isEmpty());

        const HelperExit run = runHelper(QStringLiteral(PAGEMINT_DECODER_PATH), png, page(), page() + ".err");

        ASSERT_EQ(run.exitCode, int(decoder::ExitCode::Written)) << run.reason.toStdString();
        EXPECT_TRUE(bytesOf(page()) == whole) << "the page differs from FreeImage's";
    }
}

// An RGB PNG of `width` x `height` whose rows are each one grey level, compressed a row at a time:
// the test never holds the picture either (a helper's peak memory counts its parent's until exec).
QByteArray largePng(quint32 width, quint32 height)
{
    QByteArray header;
    for (const quint32 value : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            header += char((value >> shift) & 0xFF);
    header += QByteArray::fromHex("0802000000"); // 8 bits, RGB, deflate, no filter, not interlaced
    z_stream stream{};
    deflateInit(&stream, 6);
    QByteArray row(1 + int(width) * 3, 0), compressed, piece(1 << 16, 0);
    for (quint32 y = 0; y <= height; ++y) {
        const bool last = y == height;
        if (!last)
            std::fill(row.begin() + 1, row.end(), char(y & 0xFF));
        stream.next_in = reinterpret_cast<Bytef *>(row.data());
        stream.avail_in = last ? 0 : uInt(row.size());
        do {
            stream.next_out = reinterpret_cast<Bytef *>(piece.data());
            stream.avail_out = uInt(piece.size());
            deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            compressed += piece.left(piece.size() - int(stream.avail_out));
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    QByteArray png = QByteArray::fromHex("89504e470d0a1a0a");
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", compressed);
    appendChunk(png, "IEND", {});
    return png;
}

// 24 megapixels: 72 MB as one bitmap, a few rows as strips. The peak is held against the helper's
// on a tiny PNG: a process's peak counts from its fork, before the helper is run, and a test
// program built with sanitizers is larger than the helper itself.
TEST_F(RowPagesTest, ALargePngIsMadeWithoutTheWholePictureInMemory)
{
    constexpr long kMostKilobytesMore = 32 * 1024;
    const auto decode = [this](const QString &name, int width, int height) {
        QFile file(picture(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(largePng(width, height));
        file.close();
        return runHelper(QStringLiteral(PAGEMINT_DECODER_PATH), file.fileName(), page(), page() + ".err");
    };
    const HelperExit tiny = decode(QStringLiteral("tiny.png"), 16, 16);
    ASSERT_EQ(tiny.exitCode, int(decoder::ExitCode::Written)) << tiny.reason.toStdString();
    const HelperExit run = decode(QStringLiteral("large.png"), 6000, 4000);
    QFile file(picture(QStringLiteral("large.png")));

    ASSERT_EQ(run.exitCode, int(decoder::ExitCode::Written)) << run.reason.toStdString();
    EXPECT_LT(run.peakKilobytes - tiny.peakKilobytes, kMostKilobytesMore) << tiny.peakKilobytes;
    EXPECT_TRUE(bytesOf(page()) == pageOfTheWholePicture(file.fileName(), expected()))
        << "the page differs from FreeImage's";
}

// A PNG cut inside its picture data is refused as FreeImage refused it, with libpng's words.
TEST_F(RowPagesTest, APngCutInItsPictureDataIsDamaged)
{
    const QString png = save({"whole", [] { return patterned(FIT_BITMAP, 97, 61, 24); }});
    ASSERT_FALSE(png.isEmpty());
    QByteArray bytes = bytesOf(png);
    QFile cut(png);
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() * 2 / 3));
    cut.close();

    const HelperExit run = runHelper(QStringLiteral(PAGEMINT_DECODER_PATH), png, page(), page() + ".err");

    EXPECT_NE(run.exitCode, int(decoder::ExitCode::Written));
    EXPECT_FALSE(run.reason.isEmpty());
}

// An opaque HEIC's rows go from libheif straight into the page: the page FreeImage made of the
// same pixels (heif-convert's PNG of it: libheif's RGB, unchanged).
TEST_F(RowPagesTest, AnOpaqueHeicGivesThePageOfItsPixelsByteForByte)
{
    const QString png = save({"for-heic", [] { return patterned(FIT_BITMAP, 96, 64, 24); }});
    ASSERT_FALSE(png.isEmpty());
    const QString heic = encodeHeif({png}, picture(QStringLiteral("photo.heic")), {"-q", "80"});
    ASSERT_FALSE(heic.isEmpty());
    const QString pixels = picture(QStringLiteral("pixels.png"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("heif-convert"), {heic, pixels}), 0);

    const HelperExit run = runHelper(fallbackDecoderPath(), heic, page(), page() + ".err");

    ASSERT_EQ(run.exitCode, int(decoder::ExitCode::Written)) << run.reason.toStdString();
    EXPECT_TRUE(bytesOf(page()) == pageOfTheWholePicture(pixels, expected())) << "the page differs from FreeImage's";
}

} // namespace
} // namespace pagemint::test
