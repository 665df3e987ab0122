#pragma once
// What FreeImage and the libtiff under it say while a picture loads. A loader that reports an
// error may still hand back an image (a truncated JPEG comes back with a grey bottom), so these
// messages, not the returned pointer, tell whether the page is whole. Warnings are only counted:
// libtiff alone prints dozens of "unknown tag" lines per file.

#include <string>

namespace pagemint::decoder {

struct LoaderReport {
    int errors = 0;
    int warnings = 0;
    std::string firstError;
    std::string firstMessage; // of any kind: the best reason when a load fails without an error
    std::string unsupported;  // the loader's words when the picture is valid but of a kind it cannot read
};

// Routes FreeImage's and libtiff's messages into the report instead of stderr. Call once.
void installLoaderMessageHandlers();

// Forgets what earlier loads reported.
void resetLoaderReport();

const LoaderReport &loaderReport();

} // namespace pagemint::decoder
