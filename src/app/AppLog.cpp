#include "app/AppLog.h"

namespace pagemint {
Q_LOGGING_CATEGORY(lcApp, "pagemint.app")
} // namespace pagemint
