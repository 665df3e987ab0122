#pragma once
// Reads the text recognised on a staged page from the file beside it. The file comes from a helper
// that read a hostile picture: it is opened without waiting (a pipe or device under its name
// must not stall the conversion), taken only when it is a regular file within the size the
// format allows, and parsed by the shared reader, which refuses anything out of form.

#include "contract/PageText.h"

#include <filesystem>
#include <string>

namespace pagemint {

enum class PageTextFile {
    Absent,  // no file of that name: the page has no text
    Read,    // `text` holds it
    Refused, // there, but not to be used; `problem` says why (English, for the log)
};

PageTextFile readPageTextFile(const std::filesystem::path &path, PageText &text, std::string &problem);

} // namespace pagemint
