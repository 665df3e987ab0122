#pragma once
// Putting a finished file in place: the converter's tmp.pdf in the output folder, a .jpg page in
// the staging folder.

#include "conversion/FileCopy.h"

#include <QString>

#include <system_error>

namespace pagemint {

// Handles pending events; false once the program is asked to end or the job is cancelled
// (jobStopRequested), so that a copy of gigabytes neither freezes the windows nor holds them up.
bool handleEventsUnlessStopped();

// Copies `source` to `target`, replacing a file of that name only once the copy is whole (a copy
// that fails leaves the old file as it was). `betweenPieces` runs between the pieces of a large
// copy and may abandon it. False when nothing was delivered; then `failure`, when given, holds the
// system's reason (std::errc::operation_canceled when abandoned).
// With Existing::Keep a file that has the target's name when the copy is whole stays, and nothing
// is delivered (std::errc::file_exists).
// With Source::Move a source on the target's file system is renamed there instead (through the
// same temporary name, so the target's name only ever holds a whole file), and copied only across
// file systems; once delivered the source is gone, while a delivery that fails leaves it in place.
enum class Existing { Replace, Keep };
enum class Source { Copy, Move };
bool deliverFile(const QString &source, const QString &target, std::error_code *failure = nullptr,
                 const BetweenPieces &betweenPieces = handleEventsUnlessStopped, Existing existing = Existing::Replace,
                 Source how = Source::Copy);

} // namespace pagemint
