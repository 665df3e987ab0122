#include "PageDecoder.h"

#include "FlattenOnWhite.h"
#include "ImageHandle.h"
#include "LoaderMessages.h"
#include "PageWriter.h"
#include "PictureFormat.h"
#include "StdioHandle.h"
#include "contract/JpegInfo.h"
#include "contract/MappedFile.h"
#include "contract/PictureLimits.h"
#include "contract/SystemReason.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
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
    const std::string &said = report.errors > 0 ? report.firstError : report.firstMessage;
    return refuse(ExitCode::LoaderFailed, said.empty() ? std::string("damaged picture") : "damaged picture: " + said);
}

DecodeOutcome checkReadable(std::FILE *source)
{
    struct stat status {};
    if (::fstat(fileno(source), &status) != 0)
        return refuse(ExitCode::Unreadable, systemReason(errno));
    if (!S_ISREG(status.st_mode))
        return refuse(ExitCode::Unreadable, "not a file");
    // FreeImage reads uninitialised bytes on an empty file instead of failing.
    if (status.st_size == 0)
        return refuse(ExitCode::Unreadable, "empty file");
    return DecodeOutcome::written();
}

// Memory per pixel at the peak of loading and converting a picture of this kind: the loaded
// bitmap plus the copy being made from it (flattenOnWhite holds at most two).
std::uint64_t peakBitsPerPixel(FIBITMAP *header, FREE_IMAGE_FORMAT format)
{
    const std::uint64_t bpp = FreeImage_GetBPP(header);
    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(header);
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
        pictureSizeProblem(FreeImage_GetWidth(image), FreeImage_GetHeight(image), peakBitsPerPixel(image, format));
    return problem.empty() ? DecodeOutcome::written() : refuse(ExitCode::TooLarge, problem);
}

// Reads the header only, where the loader can, so a lying size is refused before the loader
// allocates for it. GIF and WebP cannot do this; the helper's memory cap stops a lying GIF, and a
// WebP holds at most 16383 pixels a side.
DecodeOutcome checkSize(std::FILE *source, FREE_IMAGE_FORMAT format)
{
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

} // namespace

DecodeOutcome decodePage(std::FILE *source, std::FILE *target)
{
    if (DecodeOutcome readable = checkReadable(source); !readable.ok())
        return readable;

    const FREE_IMAGE_FORMAT format = acceptedFormat(stdioFunctions(), handleOf(source));
    if (format == FIF_UNKNOWN)
        return refuse(ExitCode::UnknownFormat, "not a supported picture");
    if (DecodeOutcome size = checkSize(source, format); !size.ok())
        return size;

    resetLoaderReport();
    ImageHandle image(FreeImage_LoadFromHandle(format, &stdioFunctions(), handleOf(source), 0));
    // A loader that complained may still return pixels (a truncated JPEG's grey bottom half):
    // a half page is refused like a missing one.
    if (!image || loaderReport().errors > 0)
        return refuseUnread();
    if (format == FIF_JPEG && !jpegIsWhole(source))
        return refuse(ExitCode::Damaged, "damaged picture: Premature end of JPEG file");
    // GIF and WebP have no header-only load: checked here, before the conversions multiply their size.
    if (DecodeOutcome size = checkDimensions(image.get(), format); !size.ok())
        return size;

    const ImageHandle page = flattenOnWhite(std::move(image));
    if (!page)
        return refuse(ExitCode::NotConvertible, "cannot convert the picture to colour");
    return writePage(page.get(), target);
}

} // namespace pagemint::decoder
