#include "PageInput.h"

#include "contract/JpegInfo.h"
#include "contract/PictureLimits.h"
#include "contract/Reasons.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <span>
#include <string>

namespace pagemint::recognizer {

namespace {
constexpr int kAssumedResolution = 300;
constexpr int kLowestResolution = 100;
} // namespace

Outcome readBounded(int fd, std::uint64_t limit, std::vector<unsigned char> &bytes)
{
    bytes.clear();
    constexpr std::size_t kChunk = 1 << 20;
    for (;;) {
        const std::size_t done = bytes.size();
        // One byte past the limit tells a page that is too large from one that fills it exactly.
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, limit + 1 - done));
        bytes.resize(done + want);
        const ssize_t got = ::read(fd, bytes.data() + done, want);
        if (got < 0 && errno == EINTR) {
            bytes.resize(done);
            continue;
        }
        if (got < 0) {
            const int error = errno;
            bytes.clear();
            return Outcome::failed(RecognizerExit::Unreadable,
                                   reason::inBrackets(reason::kCannotRead, std::strerror(error)));
        }
        bytes.resize(done + static_cast<std::size_t>(got));
        if (bytes.size() > limit)
            return Outcome::failed(
                RecognizerExit::TooLarge,
                reason::inBrackets(reason::kTooLarge, "超过 " + std::to_string(limit >> 20) + " MB"));
        if (got == 0)
            break;
    }
    if (bytes.empty())
        return Outcome::failed(RecognizerExit::Unreadable, std::string(reason::kEmptyFile));
    return Outcome::fine();
}

int jpegReduction(std::uint64_t width, std::uint64_t height, std::uint64_t maxPixels)
{
    for (const int reduction : {1, 2, 4, 8}) {
        // The decoder rounds each side up.
        const std::uint64_t w = (width + reduction - 1) / reduction;
        const std::uint64_t h = (height + reduction - 1) / reduction;
        if (w * h <= maxPixels)
            return reduction;
    }
    return 0;
}

int engineResolution(double dpiX, double dpiY, int reduction)
{
    const double stated = std::max(dpiX, dpiY) / std::max(reduction, 1);
    if (!(stated >= kLowestResolution) || stated > 100'000)
        return kAssumedResolution;
    return static_cast<int>(std::lround(stated));
}

Outcome decodePage(const std::vector<unsigned char> &bytes, Page &page)
{
    JpegInfo info;
    std::string why;
    // Bounds-checked marker reading: the size, the EXIF turn, and the end marker a cut-off file lacks.
    if (!inspectJpeg(std::span(bytes.data(), bytes.size()), info, why))
        return Outcome::failed(RecognizerExit::NotJpeg, why);
    const int reduction = jpegReduction(std::uint64_t(info.width), std::uint64_t(info.height), kRecognizerMaxPixels);
    if (reduction == 0)
        return Outcome::failed(
            RecognizerExit::TooLarge,
            reason::inBrackets(reason::kTooLarge, std::to_string(info.width) + " x " + std::to_string(info.height)));
    l_int32 warned = 0;
    PixHandle pix(pixReadMemJpeg(bytes.data(), bytes.size(), 0, reduction, &warned, 0));
    if (!pix)
        return Outcome::failed(RecognizerExit::Damaged, std::string(reason::kDamaged));
    page.pix = turned(std::move(pix), exifTurn(info.orientation));
    if (!page.pix)
        return Outcome::failed(RecognizerExit::TooLarge, std::string(reason::kTooLarge));
    page.resolution = engineResolution(info.dpiX, info.dpiY, reduction);
    return Outcome::fine();
}

} // namespace pagemint::recognizer
