#include "PageWriter.h"

#include "StdioHandle.h"
#include "contract/SystemReason.h"

#include <cerrno>
#include <string>

namespace pagemint::decoder {

DecodeOutcome writePage(FIBITMAP *page, std::FILE *target)
{
    errno = 0;
    const bool written = FreeImage_SaveToHandle(FIF_JPEG, page, &stdioFunctions(), handleOf(target), 0);
    if (!written || std::fflush(target) != 0 || std::ferror(target))
        return DecodeOutcome::refused(ExitCode::WriteFailed, "cannot write the page: " + systemReason(errno));
    return DecodeOutcome::written();
}

} // namespace pagemint::decoder
