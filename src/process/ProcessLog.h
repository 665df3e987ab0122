#pragma once
// The process layer's log: failures the user is not shown leave one warning here for whoever
// diagnoses them. Other layers log under their own category.
#include <QLoggingCategory>

namespace pagemint {
Q_DECLARE_LOGGING_CATEGORY(lcProcess)
} // namespace pagemint
