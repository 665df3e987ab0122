#include "ConverterContract.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace pagemint {

namespace {
constexpr std::string_view kPageSuffix = ".jpg";
constexpr std::string_view kLeftOutTag = "left-out:";
} // namespace

std::string stagedPageName(int index)
{
    char name[32];
    std::snprintf(name, sizeof name, "%05d.jpg", index);
    return name;
}

bool isStagedPageName(std::string_view name)
{
    if (name.size() <= kPageSuffix.size() || !name.ends_with(kPageSuffix))
        return false;
    const std::string_view digits = name.substr(0, name.size() - kPageSuffix.size());
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<int> stagedPageIndex(std::string_view name)
{
    if (!isStagedPageName(name))
        return std::nullopt;
    const std::string_view digits = name.substr(0, name.size() - kPageSuffix.size());
    int index = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return index;
}

std::string progressLine(std::string_view name, std::size_t total)
{
    return "page " + std::string(name) + " of " + std::to_string(total) + "\n";
}

std::string leftOutLine(std::string_view name, std::string_view reason)
{
    return std::string(kLeftOutTag) + std::string(name) + ":" + std::string(reason) + "\n";
}

std::optional<LeftOutNotice> parseLeftOutLine(std::string_view line)
{
    if (!line.starts_with(kLeftOutTag))
        return std::nullopt;
    line.remove_prefix(kLeftOutTag.size());
    // A page name holds no colon; the reason may.
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    return LeftOutNotice{std::string(line.substr(0, colon)), std::string(line.substr(colon + 1))};
}

std::string converterTemporaryName(std::string_view destinationName)
{
    return "." + std::string(destinationName) + ".XXXXXX";
}

} // namespace pagemint
