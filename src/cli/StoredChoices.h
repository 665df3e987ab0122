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

} // namespace pagemint
