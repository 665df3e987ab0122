#pragma once
// The words a user sees for what the system said when a file could not be read or written.
// Shared by the program and its helpers; standard library only.

#include <cerrno>
#include <cstring>
#include <string>

namespace pagemint {

inline std::string systemReason(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return "file not found";
    case EACCES:
    case EPERM:
        return "permission denied";
    case ENOSPC:
    case EDQUOT:
        return "disk full";
    case EROFS:
        return "read-only file system";
    case EISDIR:
        return "not a file";
    case 0:
        return "unknown error";
    default:
        return std::strerror(error);
    }
}

} // namespace pagemint
