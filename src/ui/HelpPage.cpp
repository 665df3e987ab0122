#include "ui/HelpPage.h"

#include "common/ApplicationFolder.h"

namespace pagemint {

QString helpPagePath()
{
    return applicationFolder() + QStringLiteral("/help/README.html");
}

} // namespace pagemint
