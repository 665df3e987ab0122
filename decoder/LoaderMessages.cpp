#include "LoaderMessages.h"

#include <FreeImage.h>

#include <cstdarg>
#include <cstdio>
#include <string_view>

#ifndef _WIN32
#include <dlfcn.h>
#endif

namespace pagemint::decoder {

namespace {
LoaderReport report;

void recordError(std::string text)
{
    if (report.errors++ == 0)
        report.firstError = std::move(text);
}

// libjpeg works around damage and reports it as a warning; these are the warnings that mean rows
// of the picture are missing or wrong. The others (stray bytes between markers, an unknown JFIF
// revision or Adobe transform, a bad ICC segment) leave every pixel intact.
constexpr std::string_view kJpegMissingPixels[] = {
    "Premature end of JPEG file",
    "premature end of data segment",
    "bad Huffman code",
    "bad arithmetic code",
    "instead of RST",
    "Invalid SOS parameters",
    "Inconsistent progression sequence",
};

// libjpeg's words for valid files of a kind this build cannot decode (12-bit samples, lossless).
constexpr std::string_view kJpegUnsupported[] = {
    "Unsupported JPEG data precision",
    "Unsupported JPEG process",
};

template <std::size_t N> bool saysAnyOf(std::string_view text, const std::string_view (&phrases)[N])
{
    for (const std::string_view phrase : phrases)
        if (text.find(phrase) != std::string_view::npos)
            return true;
    return false;
}

// FreeImage has one channel for everything; its plug-ins mark the harmless notes "Warning: ...".
// The JPEG plug-in passes libjpeg's texts on unmarked, warnings and fatal errors alike; a fatal
// one also makes the load fail, so only the damage list counts as an error there.
void onFreeImageMessage(FREE_IMAGE_FORMAT format, const char *message)
{
    const std::string_view text = message != nullptr ? message : "";
    if (report.firstMessage.empty())
        report.firstMessage = text;
    if (format == FIF_JPEG && report.unsupported.empty() && saysAnyOf(text, kJpegUnsupported))
        report.unsupported = text;
    const bool harmless = format == FIF_JPEG ? !saysAnyOf(text, kJpegMissingPixels) : text.starts_with("Warning");
    if (harmless)
        ++report.warnings;
    else
        recordError(std::string(text));
}

#ifndef _WIN32
// FreeImage installs no libtiff handlers on this platform, so libtiff writes straight to stderr.
// libtiff is already loaded as FreeImage's dependency; look its setters up there rather than
// building against its headers.
using TiffHandler = void (*)(const char *module, const char *format, va_list arguments);
using TiffSetHandler = TiffHandler (*)(TiffHandler);

void onTiffWarning(const char *, const char *, va_list)
{
    ++report.warnings;
}

// libtiff reports some things that leave every pixel intact through its error channel.
bool isHarmlessTiffError(std::string_view module, std::string_view text)
{
    // FreeImage probes libtiff for every EXIF tag it knows; each one libtiff lacks comes back as
    // an "internal error" of this lookup although the picture is fine.
    if (module == "TIFFFieldWithTag")
        return true;
    // A tag of a type libtiff cannot store (old JPEG-in-TIFF files carry such) is skipped, and
    // libtiff says so: "... is TIFF_SETGET_UNDEFINED and thus tag is not read from file".
    if (text.find("tag is not read from file") != std::string_view::npos)
        return true;
    // libtiff marks its notes about odd tag values itself.
    return text.starts_with("Warning");
}

void onTiffError(const char *module, const char *format, va_list arguments)
{
    char text[256];
    std::vsnprintf(text, sizeof text, format, arguments);
    const std::string_view from = module != nullptr ? module : "";
    if (isHarmlessTiffError(from, text)) {
        ++report.warnings;
        return;
    }
    recordError(from.empty() ? std::string(text) : std::string(from) + ": " + text);
}

void installTiffHandlers()
{
    const auto setWarning = reinterpret_cast<TiffSetHandler>(dlsym(RTLD_DEFAULT, "TIFFSetWarningHandler"));
    const auto setError = reinterpret_cast<TiffSetHandler>(dlsym(RTLD_DEFAULT, "TIFFSetErrorHandler"));
    if (setWarning != nullptr)
        setWarning(onTiffWarning);
    if (setError != nullptr)
        setError(onTiffError);
}
#endif
} // namespace

void installLoaderMessageHandlers()
{
    FreeImage_SetOutputMessage(onFreeImageMessage);
#ifndef _WIN32
    installTiffHandlers();
#endif
}

void resetLoaderReport()
{
    report = {};
}

const LoaderReport &loaderReport()
{
    return report;
}

} // namespace pagemint::decoder
