#pragma once
// Whether the user has asked to end the program, seen by every part that waits or loops.

namespace pagemint {

// True once the user has asked to end the program; only then does the engine window really close,
// and every wait, scan and job stops at its next check.
inline bool exitRequested = false;

} // namespace pagemint
