#pragma once
// How a step of the recogniser ends: the exit code, and the reason line when it failed.

#include "contract/TextRecognition.h"

#include <string>

namespace pagemint::recognizer {

struct Outcome {
    RecognizerExit code = RecognizerExit::Written;
    std::string reason; // in the words of Reasons.h; empty when all went well

    static Outcome fine() { return {}; }
    static Outcome failed(RecognizerExit code, std::string reason) { return {code, std::move(reason)}; }
    bool ok() const { return code == RecognizerExit::Written; }
};

} // namespace pagemint::recognizer
