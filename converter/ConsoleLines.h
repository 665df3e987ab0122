#pragma once
// Printing the lines the program reads from the converter (their form: contract/ConverterContract.h).
// Each is flushed at once (a pipe would otherwise hold them until exit); a reader that went away
// does not stop the conversion.

#include "contract/ConverterContract.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace pagemint {

// The file name alone, with control characters replaced so one name stays on one line.
std::string displayName(const std::filesystem::path &path);

// Writes and flushes; false when the reader is gone (the caller may carry on regardless).
bool emitLine(std::FILE *stream, const std::string &line);

} // namespace pagemint
