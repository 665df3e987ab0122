#include "PageDecoder.h"

#include "FlattenOnWhite.h"
#include "ImageHandle.h"
#include "LoaderMessages.h"
#include "PictureFormat.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace pagemint::decoder {

namespace {
DecodeOutcome refuse(ExitCode code, std::string reason)
{
    return DecodeOutcome::refused(code, std::move(reason));
}

DecodeOutcome refuseDamaged()
{
    const LoaderReport &report = loaderReport();
    return refuse(ExitCode::Damaged,
                  report.errors > 0 ? "damaged picture: " + report.firstError : std::string("damaged picture"));
}

DecodeOutcome checkReadable(const std::string &source)
{
    std::error_code error;
    const fs::file_status status = fs::status(source, error);
    if (!fs::exists(status))
        return refuse(ExitCode::Unreadable, "file not found");
    if (!fs::is_regular_file(status))
        return refuse(ExitCode::Unreadable, "not a file");
    // FreeImage reads uninitialised bytes on an empty file instead of failing.
    if (fs::file_size(source, error) == 0 || error)
        return refuse(ExitCode::Unreadable, "empty file");
    return DecodeOutcome::written();
}

int loadFlags(FREE_IMAGE_FORMAT format)
{
    // Without it an icon's AND mask is ignored and its transparent corners come out black.
    return format == FIF_ICO ? ICO_MAKEALPHA : 0;
}

DecodeOutcome checkDimensions(FIBITMAP *image)
{
    const std::uint64_t width = FreeImage_GetWidth(image);
    const std::uint64_t height = FreeImage_GetHeight(image);
    if (width == 0 || height == 0)
        return refuse(ExitCode::TooLarge, "picture has no size");
    if (width * height > kMaxPixels)
        return refuse(ExitCode::TooLarge,
                      "picture too large (" + std::to_string(width) + " x " + std::to_string(height) + ")");
    return DecodeOutcome::written();
}

// Reads the header only, where the loader can, so a lying size is refused before the loader
// allocates for it. GIF and IFF cannot do this; the helper's memory cap stops those.
DecodeOutcome checkSize(const std::string &source, FREE_IMAGE_FORMAT format)
{
    if (!FreeImage_FIFSupportsNoPixels(format))
        return DecodeOutcome::written();
    resetLoaderReport();
    const ImageHandle header(FreeImage_Load(format, source.c_str(), loadFlags(format) | FIF_LOAD_NOPIXELS));
    if (!header || loaderReport().errors > 0)
        return refuseDamaged();
    return checkDimensions(header.get());
}

DecodeOutcome saveJpeg(FIBITMAP *page, const std::string &target)
{
    const std::string temporary = target + ".part";
    std::error_code error;
    if (!FreeImage_Save(FIF_JPEG, page, temporary.c_str(), 0)) {
        fs::remove(temporary, error);
        return refuse(ExitCode::WriteFailed, "cannot write the page");
    }
    fs::rename(temporary, target, error);
    if (error) {
        fs::remove(temporary, error);
        return refuse(ExitCode::WriteFailed, "cannot move the page into place");
    }
    return DecodeOutcome::written();
}
} // namespace

DecodeOutcome decodePage(const std::string &source, const std::string &target)
{
    if (DecodeOutcome readable = checkReadable(source); !readable.ok())
        return readable;

    const FREE_IMAGE_FORMAT format = detectFormat(source);
    if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(format))
        return refuse(ExitCode::UnknownFormat, "unknown picture format");
    if (DecodeOutcome size = checkSize(source, format); !size.ok())
        return size;

    resetLoaderReport();
    ImageHandle image(FreeImage_Load(format, source.c_str(), loadFlags(format)));
    // A loader that complained may still return pixels (a truncated JPEG's grey bottom half):
    // a half page is refused like a missing one.
    if (!image || loaderReport().errors > 0)
        return refuseDamaged();
    // Formats without a header-only load (GIF, IFF) are checked here, before the conversions
    // multiply their size.
    if (DecodeOutcome size = checkDimensions(image.get()); !size.ok())
        return size;

    const ImageHandle page = flattenOnWhite(image.get());
    image.reset();
    if (!page)
        return refuse(ExitCode::NotConvertible, "cannot convert the picture to colour");
    return saveJpeg(page.get(), target);
}

} // namespace pagemint::decoder
