#include "FallbackDecoder.h"

#include "FlattenOnWhite.h"
#include "ImageHandle.h"
#include "PageWriter.h"
#include "contract/PictureLimits.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <array>
#include <cstdlib>
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

const char *formatOf(QIODevice &device)
{
    const QByteArray head = device.peek(8);
    const std::string_view bytes(head.constData(), static_cast<std::size_t>(head.size()));
    for (const Signature &signature : kSignatures)
        if (bytes.starts_with(signature.magic))
            return signature.format;
    return nullptr;
}

std::uint32_t le32(const QByteArray &bytes, int at)
{
    const auto byte = [&](int i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])); };
    return byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
}

// Qt's BMP reader stops quietly where a cut-off file ends and returns the rest of the picture
// unpainted, so a BMP must hold all its rows before it is read: uncompressed rows are counted,
// run-length data must end with its end-of-picture code.
bool bmpIsWhole(QIODevice &device)
{
    const QByteArray header = device.peek(34);
    if (header.size() < 34)
        return false;
    const std::uint64_t dataStart = le32(header, 10);
    const std::int64_t width = static_cast<std::int32_t>(le32(header, 18));
    const std::int64_t height = static_cast<std::int32_t>(le32(header, 22));
    const std::uint64_t bits = static_cast<unsigned char>(header[28]) | static_cast<unsigned char>(header[29]) << 8;
    const std::uint32_t compression = le32(header, 30);
    const std::uint64_t size = static_cast<std::uint64_t>(device.size());
    if (compression == 1 || compression == 2) { // RLE8, RLE4
        const QByteArray all = device.peek(static_cast<qint64>(size));
        return all.endsWith(QByteArrayLiteral("\x00\x01"));
    }
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(std::abs(width)) * bits + 31) / 32 * 4;
    return dataStart + rowBytes * static_cast<std::uint64_t>(std::abs(height)) <= size;
}

// A reader that complains while it reads has filled in pixels it did not find.
int readerWarnings = 0;
std::string firstWarning;

void countWarning(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    if (readerWarnings++ == 0)
        firstWarning = message.toStdString();
}

DecodeOutcome refuse(ExitCode code, std::string reason)
{
    return DecodeOutcome::refused(code, std::move(reason));
}

// FreeImage's 32-bit layout on this byte order: blue, green, red, alpha. Opaque pictures get
// alpha 255 everywhere, which flattenOnWhite passes over.
QImage asFreeImagePixels(const QImage &picture)
{
    return picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

// The decoded picture and its 32-bit copy, then that copy's FreeImage bitmap and the page made
// from it: two at a time.
std::uint64_t peakBitsPerPixel(QImage::Format format)
{
    const std::uint64_t decoded = static_cast<std::uint64_t>(QImage::toPixelFormat(format).bitsPerPixel());
    return std::max<std::uint64_t>(decoded + 32, 32 + 24);
}
} // namespace

void FallbackDecoder::prepare()
{
    // Qt looks for its plug-ins on a reader's first use, opening each one's file to read its
    // formats; listing the formats does that here instead.
    QImageReader::supportedImageFormats();
}

FallbackDecoder::FallbackDecoder(std::FILE *source)
{
    if (!input_.open(fileno(source), QIODevice::ReadOnly))
        return;
    const char *format = formatOf(input_);
    if (format == nullptr)
        return;
    reader_.setDevice(&input_);
    reader_.setFormat(format);
    reader_.setAutoDetectImageFormat(false);
    recognised_ = reader_.canRead();
}

DecodeOutcome FallbackDecoder::decode(std::FILE *target)
{
    if (!recognised_)
        return refuse(ExitCode::UnknownFormat, "not a supported picture");
    if (reader_.format() == "bmp" && !bmpIsWhole(input_))
        return refuse(ExitCode::Damaged, "damaged picture: the picture data is cut short");
    const QSize size = reader_.size();
    if (size.isValid()) {
        const std::string problem =
            pictureSizeProblem(static_cast<std::uint64_t>(size.width()), static_cast<std::uint64_t>(size.height()),
                               peakBitsPerPixel(reader_.imageFormat()));
        if (!problem.empty())
            return refuse(ExitCode::TooLarge, problem);
    }
    const QtMessageHandler previous = qInstallMessageHandler(countWarning);
    QImage picture;
    const bool read = reader_.read(&picture);
    qInstallMessageHandler(previous);
    if (!read)
        return refuse(ExitCode::Damaged, "damaged picture: " + reader_.errorString().toStdString());
    if (readerWarnings > 0)
        return refuse(ExitCode::Damaged, "damaged picture: " + firstWarning);

    const QImage pixels = asFreeImagePixels(picture);
    picture = QImage();
    ImageHandle bitmap(FreeImage_ConvertFromRawBits(const_cast<uchar *>(pixels.constBits()), pixels.width(),
                                                    pixels.height(), static_cast<int>(pixels.bytesPerLine()), 32,
                                                    FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, TRUE));
    if (bitmap) {
        // The page's size on paper comes from the resolution the picture states.
        FreeImage_SetDotsPerMeterX(bitmap.get(), static_cast<unsigned>(std::max(0, pixels.dotsPerMeterX())));
        FreeImage_SetDotsPerMeterY(bitmap.get(), static_cast<unsigned>(std::max(0, pixels.dotsPerMeterY())));
    }
    // Transparent parts become white paper by the same rule as with the first reader.
    const ImageHandle page = flattenOnWhite(std::move(bitmap));
    if (!page)
        return refuse(ExitCode::NotConvertible, "cannot convert the picture to colour");
    return writePage(page.get(), target);
}

} // namespace pagemint::decoder
