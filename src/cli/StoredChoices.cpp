#include "cli/StoredChoices.h"

#include "settings/PageLayoutFile.h"
#include "settings/SettingsFile.h"

namespace pagemint {

StoredChoices readStoredChoices()
{
    StoredChoices choices;
    const StoredSettings stored = readSettingsFile(settingsFilePath());
    // A folder line that could not be read, or an empty one, leaves the default as the window does
    // for a missing file; an empty folder would put the PDFs at the root.
    choices.outputFolder =
        stored.outputFolder && !stored.outputFolder->trimmed().isEmpty() ? *stored.outputFolder : defaultOutputFolder();
    choices.layout = readPageLayoutFile(pageLayoutFilePath());
    choices.text = readTextChoiceFile(pageLayoutFilePath());
    return choices;
}

} // namespace pagemint
