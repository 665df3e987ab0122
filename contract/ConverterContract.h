#pragma once
// What the program, its converter (pdf.exe) and its picture decoder agree on. They are separate
// programs, so each fact is written once, here, and a round-trip test ties the writer of each
// form to its reader. Standard library only: neither helper links Qt.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pagemint {

// The converter's file name in the application's data/ folder. Running converters are also
// recognised by it.
inline constexpr std::string_view kConverterFileName = "pdf.exe";
// The argument that makes the converter turn the staging folder's pages into kConverterOutputName.
inline constexpr std::string_view kConverterStagingArgument = "/NOASK";
// What the converter writes in the staging folder, and a second file it may leave there; the
// program delivers the first and removes both.
inline constexpr std::string_view kConverterOutputName = "tmp.pdf";
inline constexpr std::string_view kSpareConverterOutputName = "tmpx.pdf";

// Staged pages. The picture at list position `index` (from 0) is staged as "00004.jpg"; a page is
// any name of digits followed by ".jpg", so numbers past 99999 stay pages. A page holds a JPEG, or
// a reference to a JPEG where it lies (PageReference.h).
std::string stagedPageName(int index);
bool isStagedPageName(std::string_view name);
// The list position a staged page name stands for; none for another name or one past int.
std::optional<int> stagedPageIndex(std::string_view name);

// The converter's console lines. Each is one line, flushed as soon as it is written:
//   stdout  "page 00003.jpg of 12"           before each page is written
//   stderr  "left-out:00003.jpg:<reason>"    for a file that cannot become a page
std::string progressLine(std::string_view name, std::size_t total);
std::string leftOutLine(std::string_view name, std::string_view reason);

struct LeftOutNotice {
    std::string name;
    std::string reason;
};
// Reads one line (without its line break) as a left-out notice.
std::optional<LeftOutNotice> parseLeftOutLine(std::string_view line);

// Temporary files. Nothing appears under a final name until it is complete: each writer writes
// beside its destination under a name that no final file has, then renames it.
// - a decoded page: "<page>.part", in the staging folder, written by the decoder through a
//   descriptor the program opened;
// - a page staged ahead of its turn: "<page>.ahead", renamed to its page name when its turn comes
//   (the converter takes every page the folder holds);
// - the converter's PDF: "." + its name + ".XXXXXX" (mkstemp), in the staging folder;
// - a delivered PDF or page: kDeliveryTemporaryPrefix + six characters (mkstemp), in the output
//   folder; the next job removes any that a killed copy left there.
inline constexpr std::string_view kPartialPageSuffix = ".part";
inline constexpr std::string_view kStagedAheadSuffix = ".ahead";
std::string converterTemporaryName(std::string_view destinationName);
inline constexpr std::string_view kDeliveryTemporaryPrefix = ".pagemint-";

} // namespace pagemint
