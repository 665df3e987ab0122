#include "ui/HelpPage.h"

#include "common/ApplicationFolder.h"

namespace pagemint {

QString helpPagePath()
{
    return applicationFolder() + QStringLiteral("/help/index.html");
}

} // namespace pagemint
