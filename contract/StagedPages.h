#pragma once
// The staging folder's pages in page order: by numeric value (00010.jpg after 9.jpg); gaps in
// the numbering are normal. Which names are pages is isStagedPageName's rule.

#include "contract/ConverterContract.h"

#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

namespace pagemint {

// Numeric order of two staged page names; equal numbers fall back to the text.
bool stagedPageBefore(std::string_view a, std::string_view b);

// The page files of `folder` (regular files only), in page order.
std::vector<std::filesystem::path> stagedPages(const std::filesystem::path &folder, std::error_code &error);

} // namespace pagemint
