#pragma once
// The few pieces of PDF syntax the converter's objects are written with.

#include <cstdint>
#include <string>

namespace pagemint {

// A number for a content stream or dictionary: four decimals at most, no exponent, no locale.
std::string pdfNumber(double value);
// "N 0 R".
std::string pdfRef(std::uint64_t object);
// A stream object's body: its dictionary entries (without /Length), the data, the object's end.
std::string pdfStream(const std::string &entries, const std::string &data);

} // namespace pagemint
