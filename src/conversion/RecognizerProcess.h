#pragma once
// Where the text recogniser is and how it is run: a program of its own per page, handed the
// staged page and its text file as descriptors, under its own memory cap and time limit, with the
// engine held to one thread so that one recogniser runs per core.

#include "contract/TextRecognition.h"
#include "conversion/HelperRun.h"

#include <QString>
#include <QStringList>

#include <chrono>

namespace pagemint {

// <application folder>/data/pagemint-recognizer, unless a test set another path.
QString recognizerPath();
// Where the engine's models are looked for, first first: the models set-up shipped beside the
// program (<application folder>/data/tessdata), then the system's. Only folders that exist.
QStringList recognizerModelFolders();
std::chrono::milliseconds recognizerTimeLimit();

// The recogniser's run for `choice` (which asks for something: TextChoice::any()).
HelperProgram recognizerProgram(const TextChoice &choice, int turn = 0);

// Tests run a recogniser of their own; an empty path restores the default.
void setRecognizerPathForTesting(const QString &path);
// Lets a test stop a hanging recogniser in a second; zero restores kRecognizerTimeLimitSeconds.
void setRecognizerTimeLimitForTesting(std::chrono::milliseconds limit);

} // namespace pagemint
