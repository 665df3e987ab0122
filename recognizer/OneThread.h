#pragma once
// The engine runs its LSTM in OpenMP loops of several threads. The program runs one recogniser per
// core, so each must keep to one thread, or two pages would fight over each core. libgomp reads
// OMP_THREAD_LIMIT once, as it is loaded, before main() runs: a recogniser started without the
// limit sets it and starts itself again, once. Whoever starts it may set it and spare the restart.

#include <string>

namespace pagemint::recognizer {

inline constexpr const char *kThreadLimitVariable = "OMP_THREAD_LIMIT";

// True when `value` (the variable's value, null when unset) keeps the engine to one thread.
bool keepsToOneThread(const char *value);

// Sets the limit and replaces this process with a fresh start of the same program and arguments.
// Returns only when that fails, with the reason.
std::string restartWithOneThread(char **argv);

} // namespace pagemint::recognizer
