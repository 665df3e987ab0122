#include "ui/TwipsLayout.h"

#include <QWidget>

#include <cmath>

namespace pagemint {

namespace {
constexpr double designTwipsPerPixel = 15.0;
constexpr TwipsPerPixel designResolution{designTwipsPerPixel, designTwipsPerPixel};

TwipsRect rescaledRect(const TwipsRect &rect, TwipsPerPixel tpp)
{
    return {rect.left * tpp.x / designTwipsPerPixel, rect.top * tpp.y / designTwipsPerPixel,
            rect.width * tpp.x / designTwipsPerPixel, rect.height * tpp.y / designTwipsPerPixel};
}
} // namespace

TwipsPerPixel twipsPerPixel(const QWidget &widget)
{
    const int dpiX = widget.logicalDpiX();
    const int dpiY = widget.logicalDpiY();
    return {dpiX > 0 ? 1440.0 / dpiX : designTwipsPerPixel, dpiY > 0 ? 1440.0 / dpiY : designTwipsPerPixel};
}

ControlPlacement rescaled(const ControlPlacement &designed, TwipsPerPixel tpp)
{
    ControlPlacement result = designed;
    result.rect = rescaledRect(designed.rect, tpp);
    result.fontSize = designed.fontSize * tpp.x / designTwipsPerPixel;
    return result;
}

QRect toPixels(const TwipsRect &rect, TwipsPerPixel tpp)
{
    return QRect(static_cast<int>(std::lround(rect.left / tpp.x)), static_cast<int>(std::lround(rect.top / tpp.y)),
                 static_cast<int>(std::lround(rect.width / tpp.x)), static_cast<int>(std::lround(rect.height / tpp.y)));
}

void applyRescaling(std::vector<ControlPlacement> &placements, TwipsPerPixel tpp)
{
    for (ControlPlacement &placement : placements) {
        placement = rescaled(placement, tpp);
        if (placement.control == nullptr)
            continue;
        placement.control->setGeometry(toPixels(placement.rect, tpp));
        if (placement.fontSize > 0) {
            QFont font = placement.control->font();
            // Points become pixels by the logical resolution, so the rescaled size keeps the
            // designed pixel size.
            font.setPointSizeF(placement.fontSize);
            placement.control->setFont(font);
        }
    }
}

QSize rescaledWindowSize(const TwipsRect &client, TwipsPerPixel tpp)
{
    return toPixels(rescaledRect(client, tpp), tpp).size();
}

QSize fixedTwipsWindowSize(const TwipsRect &client, TwipsPerPixel tpp)
{
    return toPixels(client, tpp).size().expandedTo(toPixels(client, designResolution).size());
}

} // namespace pagemint
