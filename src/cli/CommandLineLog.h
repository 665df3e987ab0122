#pragma once
// The command line's log: failures the user is not shown (a run folder that would not go) leave
// one warning here. Other layers log under their own category.
#include <QLoggingCategory>

namespace pagemint {
Q_DECLARE_LOGGING_CATEGORY(lcCommandLine)
} // namespace pagemint
