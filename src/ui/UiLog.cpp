#include "ui/UiLog.h"

namespace pagemint {
Q_LOGGING_CATEGORY(lcUi, "pagemint.ui")
} // namespace pagemint
