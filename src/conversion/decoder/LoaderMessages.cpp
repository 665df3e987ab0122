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

// FreeImage has one channel for everything; its plug-ins mark the harmless notes "Warning: ...".
void onFreeImageMessage(FREE_IMAGE_FORMAT, const char *message)
{
    const std::string_view text = message != nullptr ? message : "unknown loader error";
    if (text.starts_with("Warning"))
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
