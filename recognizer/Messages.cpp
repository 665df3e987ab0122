#include "Messages.h"

#include <leptonica/allheaders.h>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <string>

namespace pagemint::recognizer {

namespace {
ssize_t dropWrite(void *, const char *, size_t size)
{
    return static_cast<ssize_t>(size);
}
} // namespace

void silenceLibraries()
{
    // A stream that takes every byte and keeps none: no descriptor, so the sandbox's closing of
    // descriptors leaves it working.
    static const cookie_io_functions_t drop{nullptr, dropWrite, nullptr, nullptr};
    if (std::FILE *nowhere = fopencookie(nullptr, "w", drop))
        stderr = nowhere;
    std::cerr.rdbuf(nullptr);
    std::clog.rdbuf(nullptr);
    setMsgSeverity(L_SEVERITY_NONE);
}

void sayLine(std::string_view line)
{
    std::string text(line);
    text += '\n';
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t wrote = ::write(STDERR_FILENO, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return; // nobody to tell
        done += static_cast<std::size_t>(wrote);
    }
}

} // namespace pagemint::recognizer
