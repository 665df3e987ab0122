#include "conversion/ConversionLog.h"

namespace pagemint {
Q_LOGGING_CATEGORY(lcConversion, "pagemint.conversion")
} // namespace pagemint
