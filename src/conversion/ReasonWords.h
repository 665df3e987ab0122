#pragma once
// The shared words of contract/Reasons.h as the program's text.

#include "contract/Reasons.h"

#include <QString>

#include <string_view>

namespace pagemint {

inline QString reasonWords(std::string_view words)
{
    return QString::fromUtf8(words.data(), static_cast<qsizetype>(words.size()));
}

// `words`, then what a library or the system said, in brackets.
inline QString reasonWords(std::string_view words, const QString &said)
{
    return reasonWords(reason::inBrackets(words, said.toStdString()));
}

} // namespace pagemint
