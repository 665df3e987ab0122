#include "FallbackDecoder.h"

#include "BitfieldBmp.h"
#include "BmpHeader.h"
#include "FileBytes.h"
#include "ImageHandle.h"
#include "PageWriter.h"
#include "PngChunks.h"
#include "contract/PictureLimits.h"
#include "contract/Reasons.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string_view>

namespace pagemint::decoder {

namespace {
struct Signature {
    std::string_view magic;
    const char *format;
};

// Chosen from the bytes here, never by Qt's own detection: that would offer the file to every
// image plug-in installed on the machine.
constexpr std::array<Signature, 2> kSignatures{{
    {"BM", "bmp"},
    {"\x89PNG\r\n\x1a\n", "png"},
}};

const char *formatOf(int fd)
{
    const std::vector<unsigned char> head = bytesAt(fd, 0, 8);
    const std::string_view bytes(reinterpret_cast<const char *>(head.data()), head.size());
    for (const Signature &signature : kSignatures)
        if (bytes.starts_with(signature.magic))
            return signature.format;
    return nullptr;
}

DecodeOutcome refuse(ExitCode code, std::string reason)
{
    return DecodeOutcome::refused(code, std::move(reason));
}

DecodeOutcome damaged(const QString &said)
{
    return refuse(ExitCode::Damaged, reason::inBrackets(reason::kDamaged, said.toStdString()));
}

bool isRunLength(const BmpHeader &header)
{
    return header.is(BmpCompression::Rle8) || header.is(BmpCompression::Rle4);
}

// Qt's BMP reader stops quietly where a cut-off file ends and returns the rest of the picture
// unpainted, so a BMP must hold all its rows before it is read: uncompressed rows are counted,
// run-length data must end with its end-of-picture code.
bool bmpIsWhole(int fd, const BmpHeader &header)
{
    const std::uint64_t size = fileSize(fd);
    if (isRunLength(header))
        return size >= 2 && bytesAt(fd, size - 2, 2) == std::vector<unsigned char>{0x00, 0x01};
    return header.dataOffset + header.rowBytes() * header.height <= size;
}

// What decides about a BMP before Qt's reader sees it: nothing when that reader should read it.
std::optional<DecodeOutcome> checkBmp(int fd, const BmpHeader &header, std::FILE *target)
{
    switch (bmpReader(header)) {
    case BmpReader::None:
        return bmpRefusal(header);
    case BmpReader::Bitfields:
        return decodeBitfieldBmp(fd, header, target);
    case BmpReader::SecondReader:
    case BmpReader::FreeImage:
        break;
    }
    if (!bmpIsWhole(fd, header))
        return refuse(ExitCode::Damaged, std::string(reason::kCutShort));
    return std::nullopt;
}

// A reader that complains while it reads has filled in pixels it did not find.
int readerWarnings = 0;
QString firstWarning;

void countWarning(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    if (readerWarnings++ == 0)
        firstWarning = message;
}

// Reads the picture from the start of `input` into `picture`, which it keeps when that has the
// picture's size and format already.
bool readFromStart(QFile &input, const char *format, QImage &picture, QString &error)
{
    input.seek(0);
    QImageReader reader(&input, format);
    reader.setAutoDetectImageFormat(false);
    if (reader.read(&picture))
        return true;
    error = reader.errorString();
    return false;
}

// Run-length data need not paint every pixel (its jumps skip some; damaged data ends early or runs
// off the picture), and Qt's reader leaves those pixels as it found them: uninitialised memory,
// different on every run. Read twice, into pictures of all 0x00 and of all 0xFF bytes, the
// unpainted pixels are those that differ; they become white paper, and a picture with no painted
// pixel at all is refused.
DecodeOutcome readRunLength(QFile &input, const char *format, QSize size, QImage::Format pixels, QImage &picture)
{
    QImage zeros(size, pixels), ones(size, pixels);
    if (zeros.isNull() || ones.isNull() || zeros.depth() % 8 != 0)
        return refuse(ExitCode::TooLarge, std::string(reason::kTooLarge));
    std::memset(zeros.bits(), 0x00, static_cast<std::size_t>(zeros.sizeInBytes()));
    std::memset(ones.bits(), 0xFF, static_cast<std::size_t>(ones.sizeInBytes()));
    QString error;
    if (!readFromStart(input, format, zeros, error) || !readFromStart(input, format, ones, error))
        return damaged(error);
    if (zeros.size() != ones.size() || zeros.format() != ones.format())
        return damaged(QString());

    picture = zeros.convertToFormat(QImage::Format_RGB32);
    const qsizetype bytesPerPixel = zeros.depth() / 8;
    bool painted = false;
    for (int y = 0; y < picture.height(); ++y) {
        const uchar *zero = zeros.constScanLine(y);
        const uchar *one = ones.constScanLine(y);
        auto *out = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const bool same = std::memcmp(zero + x * bytesPerPixel, one + x * bytesPerPixel, bytesPerPixel) == 0;
            painted = painted || same;
            if (!same)
                out[x] = qRgb(0xFF, 0xFF, 0xFF);
        }
    }
    if (!painted)
        return refuse(ExitCode::Damaged, reason::inBrackets(reason::kDamaged, "图片数据没有绘制任何像素"));
    return DecodeOutcome::written();
}

// FreeImage's 32-bit layout on this byte order: blue, green, red, alpha. Opaque pictures get
// alpha 255 everywhere, which flattenOnWhite passes over.
QImage asFreeImagePixels(const QImage &picture)
{
    return picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

// The decoded picture (twice for run-length data) and its 32-bit copy, then that copy's FreeImage
// bitmap and the page made from it: two at a time.
std::uint64_t peakBitsPerPixel(QImage::Format format, bool runLength)
{
    const std::uint64_t decoded = static_cast<std::uint64_t>(QImage::toPixelFormat(format).bitsPerPixel());
    return std::max<std::uint64_t>((runLength ? 2 : 1) * decoded + 32, 32 + 24);
}

DecodeOutcome writeAsPage(const QImage &picture, std::FILE *target)
{
    const QImage pixels = asFreeImagePixels(picture);
    ImageHandle bitmap(FreeImage_ConvertFromRawBits(const_cast<uchar *>(pixels.constBits()), pixels.width(),
                                                    pixels.height(), static_cast<int>(pixels.bytesPerLine()), 32,
                                                    FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, TRUE));
    if (bitmap) {
        // The page's size on paper comes from the resolution the picture states.
        FreeImage_SetDotsPerMeterX(bitmap.get(), static_cast<unsigned>(std::max(0, pixels.dotsPerMeterX())));
        FreeImage_SetDotsPerMeterY(bitmap.get(), static_cast<unsigned>(std::max(0, pixels.dotsPerMeterY())));
    }
    return writePictureAsPage(std::move(bitmap), target);
}
} // namespace

void FallbackDecoder::prepare()
{
    // Qt looks for its plug-ins on a reader's first use, opening each one's file to read its
    // formats; listing the formats does that here instead.
    QImageReader::supportedImageFormats();
}

FallbackDecoder::FallbackDecoder(std::FILE *source) : source_(source)
{
    // The picture's size is checked against the program's own limits before it is read; Qt's
    // default (128 MB of pixels, 33.5 MP at 32 bits) would refuse an A4 page scanned at 600 dpi.
    QImageReader::setAllocationLimit(static_cast<int>(kPixelBudgetBytes >> 20));
}

DecodeOutcome FallbackDecoder::decode(std::FILE *target)
{
    const int fd = fileno(source_);
    const char *format = formatOf(fd);
    if (format == nullptr)
        return refuse(ExitCode::UnknownFormat, std::string(reason::kNotSupported));
    std::optional<BmpHeader> bmp;
    if (std::string_view(format) == "bmp") {
        bmp = parseBmpHeader(bytesAt(fd, 0, kBmpHeadBytes));
        if (bmp)
            if (std::optional<DecodeOutcome> decided = checkBmp(fd, *bmp, target))
                return *decided;
    } else if (DecodeOutcome chunks = checkPngChunks(fd); !chunks.ok()) {
        return chunks;
    }

    QFile input;
    if (!input.open(fd, QIODevice::ReadOnly))
        return refuse(ExitCode::Unreadable, std::string(reason::kCannotRead));
    QImageReader reader(&input, format);
    reader.setAutoDetectImageFormat(false);
    if (!reader.canRead())
        return refuse(ExitCode::UnknownFormat, std::string(reason::kNotSupported));
    const bool runLength = bmp && isRunLength(*bmp);
    const QSize size = reader.size();
    const QImage::Format pixels = reader.imageFormat();
    if (size.isValid()) {
        const std::string problem =
            pictureSizeProblem(static_cast<std::uint64_t>(size.width()), static_cast<std::uint64_t>(size.height()),
                               peakBitsPerPixel(pixels, runLength));
        if (!problem.empty())
            return refuse(ExitCode::TooLarge, problem);
    }

    const QtMessageHandler previous = qInstallMessageHandler(countWarning);
    QImage picture;
    QString error;
    DecodeOutcome read = runLength ? readRunLength(input, format, size, pixels, picture)
                         : readFromStart(input, format, picture, error) ? DecodeOutcome::written()
                                                                        : damaged(error);
    qInstallMessageHandler(previous);
    if (!read.ok())
        return read;
    if (readerWarnings > 0)
        return damaged(firstWarning);
    return writeAsPage(picture, target);
}

} // namespace pagemint::decoder
