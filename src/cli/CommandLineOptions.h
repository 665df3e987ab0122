#pragma once
// What `pagemint [options] PICTURE|FOLDER...` asks for, read from its arguments apart from any
// run: the option words, their values, and what is wrong with them.

#include "contract/PageLayout.h"
#include "contract/TextRecognition.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace pagemint {

struct CommandLineRequest {
    enum class Action { Convert, Help, Version };
    Action action = Action::Convert;
    QStringList inputs;            // pictures and folders, in the order given
    std::optional<QString> output; // -o: a folder, or in merged mode a file name ending in .pdf
    bool onePdfPerPicture = false; // --each; --merge (the default) turns it off again
    bool overwrite = false;
    bool quiet = false;
    // Unset: what the settings files hold.
    std::optional<Paper> paper;
    std::optional<PageOrientation> orientation;
    std::optional<int> marginMm;
    std::optional<PageFit> fit;
    std::optional<Recognition> recognition;
    std::optional<bool> upright;

    // The stored layout and text choice with the options given laid over them.
    PageLayout layoutOver(PageLayout stored) const;
    TextChoice textOver(TextChoice stored) const;
};

struct ParsedCommandLine {
    CommandLineRequest request;
    QString problem; // empty when the arguments are good; otherwise what to tell the user
};

// Reads the arguments after the program's name. Options and pictures may come in any order; "--"
// ends the options. A value follows its option as the next argument or after "=" (--paper=A4);
// -o takes it attached too (-oout.pdf). When an option is given twice the last one counts.
ParsedCommandLine parseCommandLine(const QStringList &arguments);

// --help's text (option syntax in ASCII, the rest Chinese) and --version's line.
QString commandLineHelp();
QString commandLineVersion();

} // namespace pagemint
