#pragma once
// Copying a file in pieces, so that whoever copies can handle events and give up between two
// pieces: the merged document can be gigabytes, whose copy takes seconds.
// FileCopy_posix.cpp holds the only system calls; a Windows build supplies its own file.

#include <filesystem>
#include <functional>
#include <system_error>

namespace pagemint {

// Called between two pieces of a copy; false abandons it.
using BetweenPieces = std::function<bool()>;

// Copies `from` over `to` (created or emptied first; it gets the permission bits of `from`).
// False when it failed or was abandoned: `error` then holds the system's reason, or
// std::errc::operation_canceled, and `to` holds what was copied so far.
bool copyFileInPieces(const std::filesystem::path &from, const std::filesystem::path &to,
                      const BetweenPieces &betweenPieces, std::error_code &error);

// Renames `from` to `to` unless a file of that name exists, in one step, so that two runs
// delivering into one folder never replace each other's file. False with std::errc::file_exists
// when the name is taken, or with the system's reason.
bool renameWithoutReplacing(const std::filesystem::path &from, const std::filesystem::path &to, std::error_code &error);

} // namespace pagemint
