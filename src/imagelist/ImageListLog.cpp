#include "imagelist/ImageListLog.h"

namespace pagemint {
Q_LOGGING_CATEGORY(lcImageList, "pagemint.imagelist")
} // namespace pagemint
