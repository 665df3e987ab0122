#include "PageDecoder.h"

#include "BitfieldBmp.h"
#include "BmpHeader.h"
#include "FileBytes.h"
#include "GifHeader.h"
#include "ImageHandle.h"
#include "LoaderMessages.h"
#include "PageWriter.h"
#include "PictureFormat.h"
#include "PngChunks.h"
#include "PngStrips.h"
#include "StdioHandle.h"
#include "contract/JpegInfo.h"
#include "contract/MappedFile.h"
#include "contract/PictureLimits.h"
#include "contract/Reasons.h"
#include "contract/SystemReason.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>

#include <sys/stat.h>

namespace pagemint::decoder {

namespace {
DecodeOutcome refuse(ExitCode code, std::string reason)
{
    return DecodeOutcome::refused(code, std::move(reason));
}

// FreeImage could not read the picture; the second reader may. A loader that failed may have
// said why in its first message even when it raised no error.
DecodeOutcome refuseUnread()
{
    const LoaderReport &report = loaderReport();
    if (!report.unsupported.empty())
        return refuse(ExitCode::UnsupportedKind, reason::inBrackets(reason::kUnsupportedKind, report.unsupported));
    const std::string &said = report.errors > 0 ? report.firstError : report.firstMessage;
    return refuse(ExitCode::LoaderFailed, reason::inBrackets(reason::kDamaged, said));
}

DecodeOutcome checkReadable(std::FILE *source)
{
    struct stat status {};
    if (::fstat(fileno(source), &status) != 0)
        return refuse(ExitCode::Unreadable, systemReason(errno));
    if (!S_ISREG(status.st_mode))
        return refuse(ExitCode::Unreadable, std::string(reason::kNotAFile));
    // FreeImage reads uninitialised bytes on an empty file instead of failing.
    if (status.st_size == 0)
        return refuse(ExitCode::Unreadable, std::string(reason::kEmptyFile));
    return DecodeOutcome::written();
}

// Memory per pixel at the peak of loading and converting a picture of this kind: the loaded
// bitmap plus the copy being made from it (flattenOnWhite holds at most two).
std::uint64_t peakBitsPerPixel(std::uint64_t bpp, FREE_IMAGE_TYPE type, FREE_IMAGE_FORMAT format)
{
    std::uint64_t bits = 0;
    if (type == FIT_BITMAP)
        bits = bpp == 24 ? 24 : 32 + 24; // as it loads, or via a 32-bit copy when there is alpha
    else if (type == FIT_RGBF || type == FIT_RGBAF)
        bits = 2 * bpp + 24; // tone mapping works on a float copy
    else
        bits = std::max<std::uint64_t>(bpp + 32, 32 + 24); // to a standard bitmap first
    // libjpeg holds a progressive file's coefficients, 16 bits a sample, while it decodes; the
    // header read here does not say whether the file is one.
    if (format == FIF_JPEG)
        bits += 2 * bpp;
    return bits;
}

DecodeOutcome checkDimensions(FIBITMAP *image, FREE_IMAGE_FORMAT format)
{
    const std::string problem =
        pictureSizeProblem(FreeImage_GetWidth(image), FreeImage_GetHeight(image),
                           peakBitsPerPixel(FreeImage_GetBPP(image), FreeImage_GetImageType(image), format));
    return problem.empty() ? DecodeOutcome::written() : refuse(ExitCode::TooLarge, problem);
}

// GIF has no header-only load: its first image's size is read from its blocks. A palette picture
// at the peak of its conversion.
DecodeOutcome checkGifSize(int fd)
{
    const std::optional<PictureSize> size = gifFirstImageSize(fd);
    if (!size)
        return DecodeOutcome::written(); // the loader finds what is wrong, under the memory cap
    const std::string problem = pictureSizeProblem(size->width, size->height, peakBitsPerPixel(8, FIT_BITMAP, FIF_GIF));
    return problem.empty() ? DecodeOutcome::written() : refuse(ExitCode::TooLarge, problem);
}

// Reads the header only, where the loader can, so a lying size is refused before the loader
// allocates for it. WebP cannot do this, and holds at most 16383 pixels a side.
DecodeOutcome checkSize(std::FILE *source, FREE_IMAGE_FORMAT format)
{
    if (format == FIF_PNG) // libpng reads every chunk before the picture, whatever it claims
        if (DecodeOutcome chunks = checkPngChunks(fileno(source)); !chunks.ok())
            return chunks;
    if (format == FIF_GIF)
        return checkGifSize(fileno(source));
    if (!FreeImage_FIFSupportsNoPixels(format))
        return DecodeOutcome::written();
    resetLoaderReport();
    const ImageHandle header(FreeImage_LoadFromHandle(format, &stdioFunctions(), handleOf(source), FIF_LOAD_NOPIXELS));
    std::rewind(source);
    if (!header || loaderReport().errors > 0)
        return refuseUnread();
    return checkDimensions(header.get(), format);
}

// libjpeg passes on only its first warning, so a harmless one can hide a cut-off file behind it.
bool jpegIsWhole(std::FILE *source)
{
    MappedFile bytes;
    std::string ignored;
    return bytes.open(fileno(source), MappedFile::Access::Sparse, ignored) && jpegHasEndMarker(bytes.bytes());
}

// The orientation the converter turns a JPEG by; 1 for one it would not take as it is.
int jpegOrientation(std::FILE *source)
{
    MappedFile bytes;
    std::string reason;
    JpegInfo info;
    if (!bytes.open(fileno(source), MappedFile::Access::Sparse, reason) || !inspectJpeg(bytes.bytes(), info, reason))
        return 1;
    return info.orientation;
}

DecodeOutcome decodeWithFreeImage(std::FILE *source, std::FILE *target, FREE_IMAGE_FORMAT format)
{
    if (DecodeOutcome size = checkSize(source, format); !size.ok())
        return size;

    const bool thumbnail = decodeForm() == DecodeForm::Thumbnail;
    if (!thumbnail && format == FIF_PNG)
        if (std::optional<DecodeOutcome> page = decodePngInStrips(source, target))
            return *page;
    if (thumbnail && format == FIF_JPEG)
        setPictureOrientation(jpegOrientation(source));
    // libjpeg decodes a thumbnail's JPEG at an eighth, a quarter or half of its size, no smaller
    // than asked, at a fraction of the cost.
    const int flags = thumbnail && format == FIF_JPEG ? kThumbnailSide << 16 : 0;
    resetLoaderReport();
    ImageHandle image(FreeImage_LoadFromHandle(format, &stdioFunctions(), handleOf(source), flags));
    // A loader that complained may still return pixels (a truncated JPEG's grey bottom half):
    // a half page is refused like a missing one.
    if (!image || loaderReport().errors > 0)
        return refuseUnread();
    if (format == FIF_JPEG && !jpegIsWhole(source))
        return refuse(ExitCode::Damaged, std::string(reason::kCutShort));
    // WebP has no header-only load: checked here, before the conversions multiply its size.
    if (DecodeOutcome size = checkDimensions(image.get(), format); !size.ok())
        return size;
    return writePictureAsPage(std::move(image), target);
}
} // namespace

DecodeOutcome decodePage(std::FILE *source, std::FILE *target)
{
    if (DecodeOutcome readable = checkReadable(source); !readable.ok())
        return readable;

    const FREE_IMAGE_FORMAT format = acceptedFormat(stdioFunctions(), handleOf(source));
    if (format == FIF_UNKNOWN)
        return refuse(ExitCode::UnknownFormat, std::string(reason::kNotSupported));
    if (format != FIF_BMP)
        return decodeWithFreeImage(source, target, format);

    const std::optional<BmpHeader> bmp = parseBmpHeader(bytesAt(fileno(source), 0, kBmpHeadBytes));
    switch (bmp ? bmpReader(*bmp) : BmpReader::FreeImage) {
    case BmpReader::None:
        return bmpRefusal(*bmp);
    case BmpReader::Bitfields:
        return decodeBitfieldBmp(fileno(source), *bmp, target);
    case BmpReader::SecondReader:
        // Handed over as a kind this reader does not read, so the second reader's verdict stands.
        return refuse(ExitCode::UnknownFormat, std::string(reason::kUnsupportedKind));
    case BmpReader::FreeImage:
        break;
    }
    return decodeWithFreeImage(source, target, format);
}

} // namespace pagemint::decoder
