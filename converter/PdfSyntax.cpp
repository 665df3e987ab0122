#include "PdfSyntax.h"

#include <cstdio>

namespace pagemint {

std::string pdfNumber(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.4f", value);
    std::string s(text);
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.')
        s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string pdfRef(std::uint64_t object)
{
    return std::to_string(object) + " 0 R";
}

std::string pdfStream(const std::string &entries, const std::string &data)
{
    std::string dictionary = "<< /Length " + std::to_string(data.size());
    if (!entries.empty())
        dictionary += ' ' + entries;
    // Binary data gets a line end of its own before the keyword, outside its length.
    const char *lineEnd = !data.empty() && data.back() == '\n' ? "" : "\n";
    return dictionary + " >>\nstream\n" + data + lineEnd + "endstream\nendobj\n";
}

} // namespace pagemint
