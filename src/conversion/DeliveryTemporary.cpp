#include "conversion/DeliveryTemporary.h"

#include "contract/ConverterContract.h"
#include "conversion/ConversionLog.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <string_view>

#include <stdlib.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace pagemint {

namespace {
constexpr std::string_view kPrefix = kDeliveryTemporaryPrefix;
constexpr std::size_t kUniquePart = 6; // what mkstemp fills in
} // namespace

fs::path makeDeliveryTemporary(const fs::path &folder, std::error_code &error)
{
    std::string name = (folder / (std::string(kPrefix) + std::string(kUniquePart, 'X'))).string();
    const int descriptor = ::mkstemp(name.data());
    if (descriptor < 0) {
        error = {errno, std::generic_category()};
        return {};
    }
    ::close(descriptor);
    error.clear();
    return name;
}

bool isDeliveryTemporaryName(const std::string &name)
{
    return name.size() == kPrefix.size() + kUniquePart && name.starts_with(kPrefix) &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(kPrefix.size()), name.end(),
                       [](unsigned char c) { return std::isalnum(c) != 0; });
}

void removeStrandedDeliveryTemporaries(const fs::path &folder)
{
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        std::error_code ignored;
        if (!isDeliveryTemporaryName(entry->path().filename().string()) || !entry->is_regular_file(ignored))
            continue;
        if (std::error_code failure; !fs::remove(entry->path(), failure) && failure)
            qCWarning(lcConversion, "stranded temporary %s not removed: %s", entry->path().c_str(),
                      failure.message().c_str());
    }
}

} // namespace pagemint
