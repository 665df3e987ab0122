#pragma once

#include <QColor>
#include <QtGlobal>

namespace pagemint {

// Colours as the Color property holds them: 0x00BBGGRR (red in the low byte). The high byte is
// ignored when reading and zero when writing.
QColor colorFromColorRef(quint32 colorRef);
quint32 colorRefFromColor(const QColor &color);

} // namespace pagemint
