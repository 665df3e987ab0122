#pragma once
// The word the fake recogniser writes as a page's text: a digest of the page's bytes, so a test
// can tell which page a text file was recognised from.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace pagemint::test {

inline std::string fakeTextWord(std::string_view page)
{
    // FNV-1a, 64 bits.
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : page) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

} // namespace pagemint::test
