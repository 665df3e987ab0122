#include "PageWriter.h"

#include "FlattenOnWhite.h"
#include "JpegRows.h"
#include "StdioHandle.h"
#include "contract/PageTurn.h"
#include "contract/Reasons.h"
#include "contract/SystemReason.h"

#include <cerrno>
#include <string>

namespace pagemint::decoder {

namespace {
DecodeForm form = DecodeForm::Page;
int pictureOrientation = 1;

// The page's picture small and upright: shrunk first, so the turns move few pixels.
ImageHandle thumbnailOf(const ImageHandle &page)
{
    ImageHandle small(FreeImage_MakeThumbnail(page.get(), kThumbnailSide, FALSE));
    if (!small)
        return {};
    // The orientation as a mirror left to right (or none), then quarter turns clockwise
    // (PageTurn.h); FreeImage turns anticlockwise.
    const int orientation = turnedOrientation(pictureOrientation, 0);
    const bool mirrored = orientation == 2 || orientation == 4 || orientation == 5 || orientation == 7;
    if (mirrored && !FreeImage_FlipHorizontal(small.get()))
        return {};
    int quarters = 0;
    while (turnedOrientation(mirrored ? 2 : 1, quarters * 90) != orientation)
        ++quarters;
    if (quarters == 0)
        return small;
    return ImageHandle(FreeImage_Rotate(small.get(), -90.0 * quarters, nullptr));
}
} // namespace

void setDecodeForm(DecodeForm chosen)
{
    form = chosen;
}

DecodeForm decodeForm()
{
    return form;
}

void setPictureOrientation(int orientation)
{
    pictureOrientation = orientation;
}

DecodeOutcome writePictureAsPage(ImageHandle picture, std::FILE *target)
{
    // Transparent parts become white paper by the same rule for every reader.
    ImageHandle page = flattenOnWhite(std::move(picture));
    if (page && form == DecodeForm::Thumbnail)
        page = thumbnailOf(page);
    if (!page)
        return DecodeOutcome::refused(ExitCode::NotConvertible, std::string(reason::kNotColour));
    return writePage(page.get(), target);
}

DecodeOutcome writeRgbRowsAsPage(const std::uint8_t *rows, int width, int height, int stride, std::FILE *target)
{
    errno = 0;
    JpegRows page(target, static_cast<unsigned>(width), static_cast<unsigned>(height), kDefaultDotsPerMetre,
                  kDefaultDotsPerMetre);
    bool written = true;
    for (int y = 0; y < height && written; ++y)
        written = page.write(rows + static_cast<std::ptrdiff_t>(y) * stride);
    if (!written || !page.finish())
        return writeFailed(errno);
    return DecodeOutcome::written();
}

DecodeOutcome writePage(FIBITMAP *page, std::FILE *target)
{
    errno = 0;
    const bool written = FreeImage_SaveToHandle(FIF_JPEG, page, &stdioFunctions(), handleOf(target), 0);
    if (!written || std::fflush(target) != 0 || std::ferror(target))
        return writeFailed(errno);
    return DecodeOutcome::written();
}

DecodeOutcome writeFailed(int error)
{
    return DecodeOutcome::refused(ExitCode::WriteFailed, reason::inBrackets(reason::kCannotWrite, systemReason(error)));
}

} // namespace pagemint::decoder
