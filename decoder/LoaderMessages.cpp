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

bool isJpegDamage(std::string_view text)
{
    for (const std::string_view damage : kJpegMissingPixels)
        if (text.find(damage) != std::string_view::npos)
            return true;
    return false;
}

// FreeImage has one channel for everything; its plug-ins mark the harmless notes "Warning: ...".
// The JPEG plug-in passes libjpeg's texts on unmarked, warnings and fatal errors alike; a fatal
// one also makes the load fail, so only the damage list counts as an error there.
void onFreeImageMessage(FREE_IMAGE_FORMAT format, const char *message)
{
    const std::string_view text = message != nullptr ? message : "unknown loader error";
    if (report.firstMessage.empty())
        report.firstMessage = text;
    const bool harmless = format == FIF_JPEG ? !isJpegDamage(text) : text.starts_with("Warning");
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

void onTiffError(const char *module, const char *format, va_list arguments)
{
    // FreeImage probes libtiff for every EXIF tag it knows; each one libtiff lacks comes back as
    // an "internal error" of this lookup although the picture is fine.
    if (module != nullptr && std::string_view(module) == "TIFFFieldWithTag") {
        ++report.warnings;
        return;
    }
    char text[256];
    std::vsnprintf(text, sizeof text, format, arguments);
    recordError(module != nullptr ? std::string(module) + ": " + text : std::string(text));
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
