#include "conversion/DocumentProperties.h"

namespace pagemint {

QString creationDateText(const QDateTime &localTime)
{
    return QStringLiteral("D:") + localTime.toString(QStringLiteral("yyyyMMddHHmmss")) + QStringLiteral("-06'00");
}

QString mergeModeText()
{
    return QStringLiteral("将所有图片转换合并成一个PDF");
}

QString perPictureModeText()
{
    return QStringLiteral("转换每张图片到单独的PDF");
}

bool onePdfPerPictureFor(int modeSelection)
{
    return modeSelection != 0;
}

} // namespace pagemint
