#include "cli/ConsoleProgress.h"

#include <algorithm>
#include <cmath>

namespace pagemint {

namespace {
QString barOf(double fraction)
{
    const int filled = std::clamp(static_cast<int>(std::floor(fraction * kProgressBarColumns)), 0, kProgressBarColumns);
    return u'[' + QString(filled, u'#') + QString(kProgressBarColumns - filled, u'-') + u']';
}
} // namespace

QString pictureBarLine(int done, int total)
{
    const double fraction = total <= 0 ? 1.0 : static_cast<double>(done) / total;
    const int width = static_cast<int>(QString::number(total).size());
    return QStringLiteral("%1 %2/%3 张图片").arg(barOf(fraction)).arg(done, width).arg(total);
}

QString converterBarLine(double fraction)
{
    const int percent = std::clamp(static_cast<int>(std::lround(fraction * 100)), 0, 100);
    return QStringLiteral("生成PDF %1 %2%").arg(barOf(fraction)).arg(percent, 3);
}

QString pictureDoneLine(int done, int total, const QString &picture)
{
    return QStringLiteral("已处理 %1/%2：%3").arg(done).arg(total).arg(picture);
}

} // namespace pagemint
