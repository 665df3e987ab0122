// pdf.exe: the console converter. Puts JPEG pages into one PDF without decoding them.
//   pdf.exe [LAYOUT] [TURNS] /NOASK                   the staging folder's pages -> tmp.pdf there
//   pdf.exe [LAYOUT] [TURNS] --out FILE PICTURE...    the given pictures, in order -> FILE
// LAYOUT: the page layout's arguments (contract/PageLayout.h); without them each page is as large
// as its picture says. TURNS: the pages the user turned (contract/PageTurn.h).
// Exit status: 0 a PDF was written; 1 no usable page (nothing written); 2 bad arguments;
// 3 the PDF could not be written (nothing written).

#include "ConsoleLines.h"
#include "PageTextFile.h"
#include "PdfWriter.h"
#include "contract/JpegInfo.h"
#include "contract/PageLayout.h"
#include "contract/PageReference.h"
#include "contract/PageText.h"
#include "contract/PageTurn.h"
#include "contract/Reasons.h"
#include "contract/StagedPages.h"

#include "contract/StagingFolder.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace pagemint;

namespace {

enum Exit { Written = 0, NoUsablePage = 1, BadArguments = 2, WriteFailed = 3 };

constexpr const char *kHelp =
    "Usage:\n"
    "  pdf.exe [LAYOUT] [TURNS] /NOASK\n"
    "      Converts the staged pages of the staging folder (files named digits + \".jpg\", in\n"
    "      numeric order) into tmp.pdf in that folder. Asks nothing.\n"
    "  pdf.exe [LAYOUT] [TURNS] --out FILE PICTURE...\n"
    "      Converts the given JPEG pictures, in the given order, into FILE.\n"
    "\n"
    "Each JPEG goes into the PDF unchanged, one picture per page, sized by its resolution\n"
    "(96 dpi when it states none) and turned upright by its EXIF orientation.\n"
    "LAYOUT puts every picture on paper instead, centred inside the margins:\n"
    "  --paper=original|A4|A5|B5|Letter|Legal|picture   (B5: JIS, 182 x 257 mm; picture: the\n"
    "      picture's shape, its longer side 11.69 inches; original: no layout, the default)\n"
    "  --orientation=auto|portrait|landscape   --margin-mm=0..50   --fit=fit|shrink\n"
    "A staged page with recognised text beside it (00004.txt for 00004.jpg) is turned as the text\n"
    "says and gets the text as an invisible layer; a text file that cannot be used is named on\n"
    "stderr and the page is written without it.\n"
    "The staging folder's pages.ref may list more pages, each a reference naming a JPEG where it\n"
    "lies: the picture is read only while it is still the file the reference describes, else it\n"
    "is left out.\n"
    "TURNS turns single pages clockwise after their EXIF orientation, losslessly:\n"
    "  --turn=NAME:90|180|270   (NAME: the staged page's name, or the picture's file name)\n"
    "Before each page, stdout gets \"page NAME of COUNT\". A file that cannot be a page is left\n"
    "out with \"left-out:NAME:REASON\" on stderr, and the others go on.\n"
    "The PDF appears only once it is complete.\n"
    "Exit status: 0 PDF written, 1 no usable page, 2 bad arguments, 3 PDF not written.\n";

void complain(const std::string &message)
{
    emitLine(stderr, "pdf.exe: " + message + "\n");
}

// The text staged beside a page. A file that cannot be used is named on stderr in a line the
// program does not read as a left-out picture: the page itself is written, without text.
std::optional<PageText> stagedText(const PdfPage &page)
{
    const std::optional<std::string> name = stagedTextNameForPage(page.path.filename().string());
    if (!name)
        return std::nullopt;
    PageText text;
    std::string problem;
    switch (readPageTextFile(page.path.parent_path() / *name, text, problem)) {
    case PageTextFile::Read:
        return text;
    case PageTextFile::Refused:
        complain(*name + ": text not laid over the page (" + problem + ")");
        break;
    case PageTextFile::Absent:
        break;
    }
    return std::nullopt;
}

// What applies to every page of a run.
struct RunChoices {
    PageLayout layout;
    std::map<std::string, int> turns; // page name -> clockwise turn
};

// A page is inspected where its bytes are: the page file, or the picture a listed reference names,
// which must still be the file the program checked. The page takes the staged page's reference.
bool inspectPage(StagedPage &staged, PdfPage &page, std::string &reason)
{
    if (staged.listed && !staged.reference) {
        reason = reason::kCannotRead;
        return false;
    }
    page.reference = std::move(staged.reference);
    const int fd = openPagePicture(page, reason);
    if (fd < 0)
        return false;
    const bool usable = inspectJpegDescriptor(fd, page.info, reason);
    ::close(fd);
    return usable;
}

// Each page's path, name and header facts are held until the end (about 0.7 KB a page); the
// pictures' bytes never are.
int convert(std::vector<StagedPage> staged, const fs::path &output, const RunChoices &choices,
            const PageTextFor &textFor = {})
{
    std::vector<PdfPage> pages;
    pages.reserve(staged.size());
    for (StagedPage &candidate : staged) {
        std::string name = displayName(candidate.path);
        PdfPage page{std::move(candidate.path), std::move(name), {}, 0, std::nullopt};
        if (const auto turn = choices.turns.find(page.name); turn != choices.turns.end())
            page.turn = turn->second;
        std::string reason;
        if (inspectPage(candidate, page, reason))
            pages.push_back(std::move(page));
        else
            emitLine(stderr, leftOutLine(page.name, reason));
    }
    if (pages.empty()) {
        complain("no usable page; no PDF written");
        return NoUsablePage;
    }
    const std::size_t total = pages.size();
    const PageStarted progress = [total](const PdfPage &page) { emitLine(stdout, progressLine(page.name, total)); };
    std::string error;
    if (!writePdf(pages, output, progress, error, choices.layout, textFor)) {
        complain(error + "; no PDF written");
        return WriteFailed;
    }
    return Written;
}

int convertStagingFolder(const RunChoices &choices)
{
    const fs::path folder = stagingFolder();
    const fs::path output = folder / kConverterOutputName;
    // A tmp.pdf left from an earlier run must not pass for this run's result.
    std::error_code error;
    fs::remove(output, error);
    std::string problem;
    std::vector<StagedPage> pages = stagedPagesWithReferences(folder, error, problem);
    if (error) {
        complain("cannot list " + folder.string() + ": " + error.message());
        return NoUsablePage;
    }
    if (!problem.empty())
        complain(problem);
    return convert(std::move(pages), output, choices, stagedText);
}

bool isNoAsk(std::string_view arg)
{
    return arg.size() == 6 && ::strncasecmp(arg.data(), "/NOASK", 6) == 0;
}

// The layout and the turns, in any order before the other arguments; none when one is not
// understood.
std::optional<RunChoices> parseChoices(const std::vector<std::string_view> &arguments)
{
    std::vector<std::string_view> layoutWords, turnWords;
    for (std::string_view argument : arguments)
        (isTurnArgument(argument) ? turnWords : layoutWords).push_back(argument);
    const std::optional<PageLayout> layout = parseLayoutArguments(layoutWords);
    std::optional<std::map<std::string, int>> turns = parseTurnArguments(turnWords);
    if (!layout || !turns)
        return std::nullopt;
    return RunChoices{*layout, std::move(*turns)};
}

} // namespace

int main(int argc, char **argv)
{
    // A reader closing the pipe must not end us halfway through the PDF.
    std::signal(SIGPIPE, SIG_IGN);

    std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kHelp, stdout);
        return std::fflush(stdout) == 0 ? Written : BadArguments;
    }
    // The layout and the turns come first; what follows is read as it always was.
    const auto firstOther = std::find_if_not(args.begin(), args.end(), [](std::string_view argument) {
        return isLayoutArgument(argument) || isTurnArgument(argument);
    });
    const std::optional<RunChoices> choices = parseChoices({args.begin(), firstOther});
    args.erase(args.begin(), firstOther);
    if (choices && args.size() == 1 && isNoAsk(args[0]))
        return convertStagingFolder(*choices);
    if (choices && args.size() >= 3 && args[0] == "--out") {
        std::vector<StagedPage> pictures;
        for (auto argument = args.begin() + 2; argument != args.end(); ++argument)
            pictures.push_back({fs::path(*argument), false, std::nullopt});
        return convert(std::move(pictures), fs::path(args[1]), *choices);
    }
    std::fputs(kHelp, stderr);
    return BadArguments;
}
