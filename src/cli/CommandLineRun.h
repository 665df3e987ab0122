#pragma once
// `pagemint [options] PICTURE|FOLDER...`: the conversion job of the window, run without one.

#include <QStringList>

namespace pagemint {

// The run's exit status.
enum CommandLineExit {
    kAllConverted = 0,   // every picture became a page
    kSomeLeftOut = 1,    // some pictures were left out, but PDFs were written
    kNothingWritten = 2, // bad arguments, or no PDF written
    kInterrupted = 130,  // Ctrl-C or a termination signal (128 + SIGINT, as shells report it)
};

// Runs the command line of `arguments` (those after the program's name) to its end and returns
// its exit status. Needs a QCoreApplication and no display. Once exitRequested is set (the
// signals' handler sets it) the run stops within a moment: its converter and decoders ended, its
// own folder with every staged page removed, a copy into the output folder abandoned and its
// temporary removed; the PDFs written before stay.
int runCommandLine(const QStringList &arguments);

} // namespace pagemint
