#pragma once
// The temporary file a delivery writes before it renames it over the target. Its name is short
// (a name near the 255-byte limit still delivers), unique (made with O_EXCL, so no user file is
// ever opened or removed) and recognisable, so the next job in that folder removes one left by a
// copy that was killed.

#include <filesystem>
#include <system_error>

namespace pagemint {

// Creates an empty, unique temporary file in `folder`; empty path and `error` set on failure.
std::filesystem::path makeDeliveryTemporary(const std::filesystem::path &folder, std::error_code &error);

// Whether `name` is one of ours: ".pagemint-" and six letters or digits.
bool isDeliveryTemporaryName(const std::string &name);

// Removes the temporary files of ours that a killed delivery left in `folder`.
void removeStrandedDeliveryTemporaries(const std::filesystem::path &folder);

} // namespace pagemint
