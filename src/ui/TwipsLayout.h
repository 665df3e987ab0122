#pragma once
// Both windows are laid out in twips (1/1440 inch) as designed for 96 dots per inch, where one
// pixel is 15 twips. At load every control is rescaled by twips-per-pixel / 15, so that it keeps
// its designed pixel rectangle and font pixel size at any screen resolution.

#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

namespace pagemint {

struct TwipsPerPixel {
    double x = 15;
    double y = 15;
};

// 1440 divided by the screen's logical dots per inch on each axis.
TwipsPerPixel twipsPerPixel(const QWidget &widget);

struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// A control as designed: its rectangle in twips and its font size in points (0: no font of its own).
struct ControlPlacement {
    QWidget *control = nullptr;
    TwipsRect rect;
    double fontSize = 0;
};

// The rescaling rule: Left, Width and FontSize by tppX / 15, Top and Height by tppY / 15. Sizes are
// rescaled too, or at 144 dpi the list would grow over the buttons painted on the pixel skin.
ControlPlacement rescaled(const ControlPlacement &designed, TwipsPerPixel tpp);

// Pixel rectangle of a twips rectangle at the given resolution.
QRect toPixels(const TwipsRect &rect, TwipsPerPixel tpp);

// Rescales every placement in order and moves its control there (font included).
void applyRescaling(std::vector<ControlPlacement> &placements, TwipsPerPixel tpp);

// The main window's client size: Width and Height are multiplied by tpp / 15 at load, so it keeps
// its designed pixel size, which its skin picture is drawn for.
QSize rescaledWindowSize(const TwipsRect &client, TwipsPerPixel tpp);

// The settings window's client size: it keeps its twips size, so it grows above 96 dpi; below, it
// stays at its designed pixel size, which its rescaled controls keep.
QSize fixedTwipsWindowSize(const TwipsRect &client, TwipsPerPixel tpp);

} // namespace pagemint
