#include "ui/HelpPage.h"

#include "app/ApplicationFolder.h"

namespace pagemint {

QString helpPagePath()
{
    return applicationFolder() + QStringLiteral("/help/README.html");
}

} // namespace pagemint
