#include "imagelist/ImageListLog.h"

namespace pagemint {
// Its debug lines (what the list holds) are off unless asked for: QT_LOGGING_RULES="pagemint.imagelist.debug=true".
Q_LOGGING_CATEGORY(lcImageList, "pagemint.imagelist", QtInfoMsg)
} // namespace pagemint
