#pragma once
// Which files of the staging folder are pages, and in what order: names of digits followed by
// ".jpg", by numeric value (00010.jpg after 9.jpg); gaps in the numbering are normal.

#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

namespace pagemint {

bool isStagedPageName(std::string_view name);

// Numeric order of two staged page names; equal numbers fall back to the text.
bool stagedPageBefore(std::string_view a, std::string_view b);

// The page files of `folder` (regular files only), in page order.
std::vector<std::filesystem::path> stagedPages(const std::filesystem::path &folder, std::error_code &error);

} // namespace pagemint
