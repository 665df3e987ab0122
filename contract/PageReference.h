#pragma once
// A JPEG that goes into the PDF unchanged is not copied into the staging folder: its staged page is
// a small reference naming the picture where it lies and the file as it was when the program
// checked it. The converter and the text recogniser read the picture through the reference only
// while it is still that file, so a picture changed, replaced or removed since its check is left
// out rather than written as it is now.
//
// A reference file holds the line "pagemint-page-reference 1", a line of seven decimal numbers
// "DEVICE INODE SIZE MTIME_S MTIME_NS CTIME_S CTIME_NS", then the picture's absolute path: its
// bytes to the end of the file (line breaks included, no NUL). A JPEG starts with FF D8, so a
// staged page is told apart by its first bytes. The change time is there because a rewrite
// that keeps the size and sets the modification time back still moves it.
// POSIX only.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

struct stat;

namespace pagemint {

// Which file, and as it was: any write, truncation, replacement or move elsewhere changes it.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::int64_t changedSeconds = 0;
    std::int64_t changedNanoseconds = 0;

    bool operator==(const FileIdentity &) const = default;
};

FileIdentity identityOf(const struct stat &status);

struct PageReference {
    std::filesystem::path picture; // absolute
    FileIdentity identity;
};

// A reference file is never larger: a path of PATH_MAX bytes and the two lines fit many times over.
inline constexpr std::size_t kLargestPageReference = 16 * 1024;

std::string pageReferenceText(const PageReference &reference);
// The reference `text` holds; none when it is not one in the form above.
std::optional<PageReference> parsePageReference(std::string_view text);

// Writes `reference` to `file` through "<file>.part", so `file` appears whole or not at all.
bool writePageReference(const std::filesystem::path &file, const PageReference &reference, std::error_code &error);

// Opens the picture a staged page stands for, read-only: the page itself when it is no reference,
// else the picture its reference names, and only while it is the file the reference describes.
// -1 with the reason in the user's words (Reasons.h) otherwise; a reference that cannot be read is
// "cannot read" and one that names a changed picture "changed". `reference` receives the reference
// when the page is one.
int openStagedPicture(const std::filesystem::path &page, std::string &reason,
                      std::optional<PageReference> *reference = nullptr);
// Opens the picture of an already read reference, as above.
int openReferencedPicture(const PageReference &reference, std::string &reason);

} // namespace pagemint
