#pragma once
// Writes JPEG files into one PDF, each as a DCTDecode image on its own page, bytes unchanged, with
// the page's recognised text laid invisibly over it when it has some.
// This one shape of PDF needs no general PDF library: every picture's length is its file size, so
// the dictionaries are written straight out and the kernel copies each file in after its own
// (memory stays flat however many pages there are; a page's text is built and written with it).

#include "contract/JpegInfo.h"
#include "contract/PageLayout.h"
#include "contract/PageReference.h"
#include "contract/PageText.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pagemint {

struct PdfPage {
    std::filesystem::path path;             // the picture, or a staged reference to it
    std::string name;                       // how messages name the file
    JpegInfo info;                          // from inspecting the picture
    int turn = 0;                           // clockwise, on top of the EXIF orientation (PageTurn.h)
    std::optional<PageReference> reference; // when `path` is a reference: the picture it names
};

// Opens the picture of `page`, read-only: its file, or the picture its reference names while that
// is still the file the program checked. -1 with the reason in the user's words otherwise.
int openPagePicture(const PdfPage &page, std::string &reason);

// Called once per page, just before its picture data is copied.
using PageStarted = std::function<void(const PdfPage &page)>;

// The text recognised on a page, asked for as the page is written, so one page's text is in memory
// at a time; none for a page without.
using PageTextFor = std::function<std::optional<PageText>(const PdfPage &page)>;

// Writes `pages` to `output` through a temporary file in the same folder that is renamed at the
// end, so `output` either appears whole or not at all (an existing file stays until then).
// Each page is laid out by `layout`; on the original paper the PDF is the one written without it.
// A page with text is turned by the text's `turn` and gets its lines as invisible text; a page
// without (or whose text has no line and no turn) is written exactly as it would be without it.
// False with `error` (naming the file at fault) when anything failed.
bool writePdf(const std::vector<PdfPage> &pages, const std::filesystem::path &output, const PageStarted &pageStarted,
              std::string &error, const PageLayout &layout = {}, const PageTextFor &textFor = {});

} // namespace pagemint
