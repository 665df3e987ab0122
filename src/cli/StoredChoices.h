#pragma once
// What the settings files hold for a command-line run: the options it was not given come from
// here, as the window takes them at its start.

#include "contract/PageLayout.h"
#include "contract/TextRecognition.h"

#include <QString>

namespace pagemint {

struct StoredChoices {
    QString outputFolder; // setting.dll's folder, or the default output folder
    PageLayout layout;    // pagemint.ini [Page]
    TextChoice text;      // pagemint.ini [Text]
};

StoredChoices readStoredChoices();

// The [Text] section of pagemint.ini. The hook where the settings layer's reader of that section
// is called once it is there; until then the defaults (no recognition, no turning).
TextChoice storedTextChoice();

} // namespace pagemint
