#include "ConsoleLines.h"

#include <cstdio>

namespace pagemint {

std::string displayName(const std::filesystem::path &path)
{
    std::string name = path.filename().string();
    for (char &c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    return name;
}

bool emitLine(std::FILE *stream, const std::string &line)
{
    const bool written = std::fwrite(line.data(), 1, line.size(), stream) == line.size();
    const bool flushed = std::fflush(stream) == 0;
    if (!written || !flushed)
        std::clearerr(stream);
    return written && flushed;
}

} // namespace pagemint
