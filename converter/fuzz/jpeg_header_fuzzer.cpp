// libFuzzer target for the JPEG header reader and the page geometry built from what it returns.
// Besides crashes and sanitizer reports, it stops on any accepted file whose fields would give
// the PDF writer something it cannot use. Build and run with converter/fuzz/run.sh.
#include "JpegInfo.h"
#include "PageGeometry.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
void require(bool condition)
{
    if (!condition)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    pagemint::JpegInfo info;
    std::string reason;
    if (!pagemint::inspectJpeg({data, size}, info, reason)) {
        require(!reason.empty());
        return 0;
    }
    require(info.width > 0 && info.height > 0);
    require(info.components == 1 || info.components == 3 || info.components == 4);
    require(info.orientation >= 1 && info.orientation <= 8);
    require(std::isfinite(info.dpiX) && std::isfinite(info.dpiY) && info.dpiX >= 0 && info.dpiY >= 0);
    const pagemint::PageGeometry g = pagemint::pageGeometry(info);
    require(g.mediaWidth > 0 && g.mediaHeight > 0);
    require(g.mediaWidth <= pagemint::kMaxPageSide && g.mediaHeight <= pagemint::kMaxPageSide);
    for (double m : g.matrix)
        require(std::isfinite(m));
    return 0;
}
