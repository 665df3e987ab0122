#pragma once
// Program-wide flags shared by both windows and the conversion.

namespace pagemint {

// True once the user has asked to end the program; only then does the engine window really close.
inline bool exitRequested = false;

// Conversion mode: true gives one PDF per picture, false one merged PDF. Follows the mode list
// only when the settings are loaded or saved.
inline bool OnePdfPerPicture = false;

} // namespace pagemint
