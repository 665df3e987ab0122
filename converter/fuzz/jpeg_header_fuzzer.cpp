// libFuzzer target for the JPEG header reader and the page geometry built from what it returns.
// Besides crashes and sanitizer reports, it stops on any accepted file whose fields would give
// the PDF writer something it cannot use, and on any answer of the piece reader (how files are
// read) that differs from the answer on the whole bytes. Build and run with converter/fuzz/run.sh.
#include "PageGeometry.h"
#include "contract/JpegInfo.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
void require(bool condition)
{
    if (!condition)
        std::abort();
}
} // namespace

// Reads the input in pieces as small as the input's last byte chooses, so refilling the window
// over the header and stepping back through the tail are both exercised on short inputs.
void requireSameAnswerInPieces(const std::uint8_t *data, std::size_t size, bool ok, const pagemint::JpegInfo &info,
                               const std::string &reason)
{
    const std::size_t pick = size > 0 ? data[size - 1] : 0;
    const pagemint::PieceSizes sizes{1 + pick % 16, 1 + pick / 16};
    const pagemint::ReadAt read = [&](std::uint64_t offset, std::span<unsigned char> into, std::string &) {
        require(offset <= size && into.size() <= size - offset);
        if (!into.empty())
            std::memcpy(into.data(), data + offset, into.size());
        return true;
    };
    pagemint::JpegInfo pieceInfo;
    std::string pieceReason;
    require(pagemint::inspectJpegPieces(read, size, pieceInfo, pieceReason, sizes) == ok);
    require(pieceReason == reason);
    if (ok)
        require(pieceInfo.width == info.width && pieceInfo.height == info.height &&
                pieceInfo.components == info.components && pieceInfo.adobeInverted == info.adobeInverted &&
                pieceInfo.orientation == info.orientation && pieceInfo.dpiX == info.dpiX &&
                pieceInfo.dpiY == info.dpiY && pieceInfo.fileSize == info.fileSize);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    pagemint::JpegInfo info;
    std::string reason;
    const bool ok = pagemint::inspectJpeg({data, size}, info, reason);
    requireSameAnswerInPieces(data, size, ok, info, reason);
    if (!ok) {
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
