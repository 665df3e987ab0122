#pragma once
// The words a user sees for what the system said when a file could not be read or written.
// Shared by the program and its helpers; standard library only.

#include "contract/Reasons.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace pagemint {

// The usual failures in the shared words; any other in general words with the system's own text
// in brackets, so a rare error still says what happened.
inline std::string systemReason(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return std::string(reason::kFileNotFound);
    case EACCES:
    case EPERM:
        return std::string(reason::kPermissionDenied);
    case ENOSPC:
    case EDQUOT:
        return std::string(reason::kDiskFull);
    case EROFS:
        return std::string(reason::kReadOnly);
    case EISDIR:
        return std::string(reason::kNotAFile);
    case 0:
        return std::string(reason::kUnknownError);
    default:
        return reason::inBrackets(reason::kSystemError, std::strerror(error));
    }
}

} // namespace pagemint
