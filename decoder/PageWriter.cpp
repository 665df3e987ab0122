#include "PageWriter.h"

#include "FlattenOnWhite.h"
#include "StdioHandle.h"
#include "contract/Reasons.h"
#include "contract/SystemReason.h"

#include <cerrno>
#include <string>

namespace pagemint::decoder {

DecodeOutcome writePictureAsPage(ImageHandle picture, std::FILE *target)
{
    // Transparent parts become white paper by the same rule for every reader.
    const ImageHandle page = flattenOnWhite(std::move(picture));
    if (!page)
        return DecodeOutcome::refused(ExitCode::NotConvertible, std::string(reason::kNotColour));
    return writePage(page.get(), target);
}

DecodeOutcome writePage(FIBITMAP *page, std::FILE *target)
{
    errno = 0;
    const bool written = FreeImage_SaveToHandle(FIF_JPEG, page, &stdioFunctions(), handleOf(target), 0);
    if (!written || std::fflush(target) != 0 || std::ferror(target))
        return DecodeOutcome::refused(ExitCode::WriteFailed,
                                      reason::inBrackets(reason::kCannotWrite, systemReason(errno)));
    return DecodeOutcome::written();
}

} // namespace pagemint::decoder
