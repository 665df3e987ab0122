#pragma once
// The conversion mode in force, as the settings window last loaded or saved it.

namespace pagemint {

// True gives one PDF per picture, false one merged PDF. Follows the mode list only when the
// settings are loaded or saved.
inline bool OnePdfPerPicture = false;

} // namespace pagemint
