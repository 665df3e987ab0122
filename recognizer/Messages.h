#pragma once
// stderr is the recogniser's answer to the program: one reason line on failure, the models line on
// success. The engine and leptonica print progress and warnings there (resolution guesses, empty
// pages, libjpeg's complaints), which would read as the reason; their output is dropped, and the
// recogniser's own lines go to the descriptor directly.

#include <string_view>

namespace pagemint::recognizer {

// From now on what the libraries print on stderr (stdio and iostreams) goes nowhere.
void silenceLibraries();

// `line` and a line break on descriptor 2, whatever stderr's stream now is.
void sayLine(std::string_view line);

} // namespace pagemint::recognizer
