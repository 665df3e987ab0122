#pragma once
// setting.dll: the output folder and the PDF mode, kept between runs in the application folder.
// Two lines, each ended by CR LF: the folder as the file system's bytes, then the mode index.

#include <QString>

#include <optional>

namespace pagemint {

struct StoredSettings {
    bool found = false;                  // a regular file was there, readable or not
    std::optional<QString> outputFolder; // unset when line 1 could not be read; empty when it is
    std::optional<int> modeIndex;        // -1, 0 or 1; unset when line 2 is missing or anything else
};

// applicationFolder() + "/setting.dll".
QString settingsFilePath();

// The output folder used when none is stored: $HOME/Output (C:\Output on Windows).
QString defaultOutputFolder();

// Line 1 whole is the folder (a comma is part of it), without the spaces and tabs before it and
// without surrounding double quotes; line 2 is the mode. Lines end at LF, a CR before it dropped.
StoredSettings readSettingsFile(const QString &path);

// Writes "<folder>\r\n<modeIndex>\r\n". All or nothing: on failure the old file stays as it was,
// except in a folder where only the file itself may be written, which is then written in place.
// Fails for a folder holding a line break, which could not be read back.
bool writeSettingsFile(const QString &path, const QString &outputFolder, int modeIndex);

} // namespace pagemint
