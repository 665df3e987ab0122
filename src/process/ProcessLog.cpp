#include "process/ProcessLog.h"

namespace pagemint {
Q_LOGGING_CATEGORY(lcProcess, "pagemint.process")
} // namespace pagemint
