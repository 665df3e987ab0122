#include "ui/Skin.h"

#include <QApplication>
#include <QPalette>

#include <algorithm>
#include <optional>

namespace pagemint {

namespace {
std::optional<QPalette> &savedPalette()
{
    static std::optional<QPalette> palette;
    return palette;
}

QPalette skinPalette()
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, QColor(0xF3, 0xF6, 0xF8));
    palette.setColor(QPalette::Button, QColor(0xE6, 0xEE, 0xF2));
    palette.setColor(QPalette::Highlight, QColor(0x1F, 0x7A, 0x8C));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    return palette;
}

QColor shifted(const QColor &colour, int hue, int saturation, int brightness)
{
    float h = 0, s = 0, v = 0, a = 0;
    colour.getHsvF(&h, &s, &v, &a);
    if (h >= 0)
        h = std::fmod(h + hue / 360.0f + 1.0f, 1.0f);
    s = std::clamp(s + s * saturation / 100.0f, 0.0f, 1.0f);
    v = std::clamp(v + brightness / 100.0f, 0.0f, 1.0f);
    return QColor::fromHsvF(h, s, v, a);
}
} // namespace

int SkinH_Attach()
{
    if (!savedPalette())
        savedPalette() = QApplication::palette();
    QApplication::setPalette(skinPalette());
    return 0;
}

int SkinH_AdjustHSV(int hue, int saturation, int brightness)
{
    QPalette palette = QApplication::palette();
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = static_cast<QPalette::ColorGroup>(group);
            const auto r = static_cast<QPalette::ColorRole>(role);
            palette.setColor(g, r, shifted(palette.color(g, r), hue, saturation, brightness));
        }
    }
    QApplication::setPalette(palette);
    return 0;
}

int SkinH_Detach()
{
    if (savedPalette())
        QApplication::setPalette(*savedPalette());
    return 0;
}

} // namespace pagemint
