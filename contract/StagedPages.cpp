#include "contract/StagedPages.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace pagemint {

namespace {
constexpr std::string_view kSuffix = ".jpg";

std::string_view digitsOf(std::string_view name)
{
    std::string_view digits = name.substr(0, name.size() - kSuffix.size());
    const auto first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view() : digits.substr(first);
}
} // namespace

bool stagedPageBefore(std::string_view a, std::string_view b)
{
    // Compared as digit strings: any number of digits, no overflow.
    const std::string_view da = digitsOf(a), db = digitsOf(b);
    if (da.size() != db.size())
        return da.size() < db.size();
    if (da != db)
        return da < db;
    return a < b;
}

std::vector<fs::path> stagedPages(const fs::path &folder, std::error_code &error)
{
    std::vector<fs::path> pages;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (isStagedPageName(it->path().filename().string()) && it->is_regular_file(typeError))
            pages.push_back(it->path());
    }
    std::sort(pages.begin(), pages.end(), [](const fs::path &a, const fs::path &b) {
        return stagedPageBefore(a.filename().string(), b.filename().string());
    });
    return pages;
}

} // namespace pagemint
