#pragma once
// Putting a finished file in place: the converter's tmp.pdf in the output folder, a .jpg page in
// the staging folder.

#include <QString>

#include <system_error>

namespace pagemint {

// Copies `source` to `target`, replacing a file of that name only once the copy is whole (a copy
// that fails leaves the old file as it was). False when nothing was delivered; then `error`, when
// given, holds the system's reason.
bool deliverFile(const QString &source, const QString &target, std::error_code *error = nullptr);

} // namespace pagemint
