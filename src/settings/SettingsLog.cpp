#include "settings/SettingsLog.h"

namespace pagemint {
Q_LOGGING_CATEGORY(lcSettings, "pagemint.settings")
} // namespace pagemint
