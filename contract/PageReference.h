#pragma once
// A JPEG that goes into the PDF unchanged is not copied into the staging folder: its page is a
// reference naming the picture where it lies and the file as it was when the program checked it.
// The converter and the text recogniser read the picture only while it is still that file, so a
// picture changed, replaced or removed since its check is left out rather than written as it is now.
//
// A reference is the line "pagemint-page-reference 1", a line of seven decimal numbers
// "DEVICE INODE SIZE MTIME_S MTIME_NS CTIME_S CTIME_NS", then the picture's absolute path: its
// bytes to the end (line breaks included, no NUL). The change time is there because a rewrite that
// keeps the size and sets the modification time back still moves it.
//
// The staging folder keeps every reference in one file, kPageReferencesName, a record per page
// appended when the page's turn comes: "<page name> <length>\n<reference of length bytes>\n". One
// file for all, since creating a file per page cost more than the rest of staging a JPEG.
// POSIX only.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

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

// Whether a file system of this type (statfs's f_type) keeps a file's identity while the file is
// not changed. A FUSE file system (phones over MTP, sshfs, desktop network mounts) may number a
// file anew whenever the kernel forgets it, so a picture there would look changed: it is copied.
bool keepsFileIdentity(long fileSystemType);

struct PageReference {
    std::filesystem::path picture; // absolute
    FileIdentity identity;
};

// A reference is never larger: a path of PATH_MAX bytes and the two lines fit many times over.
inline constexpr std::size_t kLargestPageReference = 16 * 1024;

std::string pageReferenceText(const PageReference &reference);
// The reference `text` holds; none when it is not one in the form above.
std::optional<PageReference> parsePageReference(std::string_view text);

inline constexpr std::string_view kPageReferencesName = "pages.ref";

// Appends the record of page `pageName` to `folder`'s references file (made when missing), in one
// write, so a reader never sees half a record of a writer that did not fail.
bool appendPageReference(const std::filesystem::path &folder, std::string_view pageName, const PageReference &reference,
                         std::error_code &error);

struct ListedReference {
    std::string page;                       // a staged page name
    std::optional<PageReference> reference; // none when its reference is out of form
};
// The records of `folder`'s references file, in the order appended; none when there is no such
// file. `problem` tells when the file could not be read or is out of form from some record on
// (the records before it are still given).
std::vector<ListedReference> listedPageReferences(const std::filesystem::path &folder, std::string &problem);

// A staged page: a page file of the folder, or a page its references file lists.
struct StagedPage {
    std::filesystem::path path; // the page file, or where it would be for a listed page
    bool listed = false;        // a listed page; `reference` none when out of form
    std::optional<PageReference> reference;
};
// The staging folder's pages in page order (StagedPages.h): its page files and the pages listed in
// its references file. A name that is both is the file's, and `problem` says so; it also tells
// what listedPageReferences() found wrong. `error` when the folder cannot be listed.
std::vector<StagedPage> stagedPagesWithReferences(const std::filesystem::path &folder, std::error_code &error,
                                                  std::string &problem);

// Opens the picture `reference` names, read-only, while it is the file the reference describes;
// -1 with the reason in the user's words (Reasons.h) otherwise: "changed" for a picture changed,
// replaced, moved or removed, "cannot read" with the system's words for anything else.
int openReferencedPicture(const PageReference &reference, std::string &reason);

} // namespace pagemint
