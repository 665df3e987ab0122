#pragma once
// Stages one picture of the list as a JPEG page for the converter.

#include <QString>

namespace pagemint {

struct StageResult {
    bool staged = false;
    QString reason; // short English text when not staged
};

// Writes the picture at list position `index` to stagingFolder()/stagedPageName(index): a .jpg
// that a PDF reader can show is copied byte for byte; anything else is decoded by the
// pagemint-decoder helper and written anew (quality 75). Leaves no file there on failure. Keeps
// handling Qt events while it waits.
StageResult StagePage(int index, const QString &sourcePath);

} // namespace pagemint
