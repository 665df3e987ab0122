#include "ui/ColorRef.h"

namespace pagemint {

QColor colorFromColorRef(quint32 colorRef)
{
    return QColor(int(colorRef & 0xFFu), int((colorRef >> 8) & 0xFFu), int((colorRef >> 16) & 0xFFu));
}

quint32 colorRefFromColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return quint32(rgb.red()) | (quint32(rgb.green()) << 8) | (quint32(rgb.blue()) << 16);
}

} // namespace pagemint
