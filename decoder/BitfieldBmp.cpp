#include "BitfieldBmp.h"

#include "FileBytes.h"
#include "ImageHandle.h"
#include "PageWriter.h"
#include "contract/PictureLimits.h"
#include "contract/Reasons.h"

#include <bit>

namespace pagemint::decoder {

namespace {
// One channel's place in the pixel word and its largest value there.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint64_t max = 0;

    explicit Channel(std::uint32_t m) : mask(m), shift(m != 0 ? std::countr_zero(m) : 0), max(m >> shift) {}

    // The channel of `word` on 0..255; `absent` where the file has no such channel.
    BYTE of(std::uint32_t word, BYTE absent) const
    {
        if (max == 0)
            return absent;
        return static_cast<BYTE>((((word & mask) >> shift) * 255 + max / 2) / max);
    }
};

// FreeImage's bitmap plus the page made from it.
constexpr std::uint64_t kPeakBitsPerPixel = 32 + 24;
} // namespace

DecodeOutcome decodeBitfieldBmp(int fd, const BmpHeader &header, std::FILE *target)
{
    if (const std::string problem = pictureSizeProblem(header.width, header.height, kPeakBitsPerPixel);
        !problem.empty())
        return DecodeOutcome::refused(ExitCode::TooLarge, problem);
    const std::uint64_t rowBytes = header.rowBytes();
    if (header.dataOffset + rowBytes * header.height > fileSize(fd))
        return DecodeOutcome::refused(ExitCode::Damaged, std::string(reason::kCutShort));

    ImageHandle bitmap(FreeImage_Allocate(static_cast<int>(header.width), static_cast<int>(header.height), 32,
                                          FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
    if (!bitmap)
        return DecodeOutcome::refused(ExitCode::TooLarge, std::string(reason::kTooLarge));
    const Channel red(header.masks[0]), green(header.masks[1]), blue(header.masks[2]), alpha(header.masks[3]);
    const unsigned bytesPerPixel = header.bitsPerPixel / 8;
    for (std::uint32_t row = 0; row < header.height; ++row) {
        const std::vector<unsigned char> bytes = bytesAt(fd, header.dataOffset + row * rowBytes, rowBytes);
        if (bytes.size() != rowBytes)
            return DecodeOutcome::refused(ExitCode::Damaged, std::string(reason::kCutShort));
        // FreeImage's first scan line is the bottom row, as in a BMP stored bottom-up.
        auto *pixel = reinterpret_cast<RGBQUAD *>(
            FreeImage_GetScanLine(bitmap.get(), static_cast<int>(header.topDown ? header.height - 1 - row : row)));
        for (std::uint32_t x = 0; x < header.width; ++x, ++pixel) {
            const unsigned char *at = bytes.data() + std::size_t(x) * bytesPerPixel;
            const std::uint32_t word = bytesPerPixel == 2 ? le16(at) : le32(at);
            *pixel = {blue.of(word, 0), green.of(word, 0), red.of(word, 0), alpha.of(word, 0xFF)};
        }
    }
    FreeImage_SetDotsPerMeterX(bitmap.get(), header.dotsPerMeterX);
    FreeImage_SetDotsPerMeterY(bitmap.get(), header.dotsPerMeterY);
    return writePictureAsPage(std::move(bitmap), target);
}

} // namespace pagemint::decoder
