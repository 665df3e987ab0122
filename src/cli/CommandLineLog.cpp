#include "cli/CommandLineLog.h"

namespace pagemint {
Q_LOGGING_CATEGORY(lcCommandLine, "pagemint.cli")
} // namespace pagemint
