#pragma once
// The lines the program reads from the converter. Their form is fixed:
//   stdout  "page 00003.jpg of 12\n"         before each page is written
//   stderr  "left-out:00003.jpg:<reason>\n"  for a file that cannot become a page
// Each is flushed at once (a pipe would otherwise hold them until exit); a reader that went away
// does not stop the conversion.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace pagemint {

// The file name alone, with control characters replaced so one name stays on one line.
std::string displayName(const std::filesystem::path &path);

std::string progressLine(std::string_view name, std::size_t total);
std::string leftOutLine(std::string_view name, std::string_view reason);

// Writes and flushes; false when the reader is gone (the caller may carry on regardless).
bool emitLine(std::FILE *stream, const std::string &line);

} // namespace pagemint
