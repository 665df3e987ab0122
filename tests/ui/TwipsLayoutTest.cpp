#include "ui/TwipsLayout.h"
#include "common/Rounding.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace pagemint {
namespace {

TEST(TwipsLayout, RescalingKeepsDesignedPixelsAtAnyResolution)
{
    struct Case {
        TwipsPerPixel tpp;
        TwipsRect rect;
        double font;
    };
    // 96 dpi (15 twips per pixel) changes nothing; 120 dpi (12) multiplies by 0.8, 144 dpi (10) by
    // 2/3, 72 dpi (20) by 4/3; each axis by its own resolution.
    const Case cases[] = {
        {{15, 15}, {6190, 3840, 1845, 945}, 9},
        {{12, 12}, {4952, 3072, 1476, 756}, 7.2},
        {{12, 15}, {4952, 3840, 1476, 945}, 7.2},
        {{10, 10}, {6190.0 * 2 / 3, 2560, 1230, 630}, 6},
        {{20, 20}, {6190.0 * 4 / 3, 5120, 2460, 1260}, 12},
    };
    for (const Case &c : cases) {
        const ControlPlacement result = rescaled({nullptr, {6190, 3840, 1845, 945}, 9}, c.tpp);
        EXPECT_DOUBLE_EQ(result.rect.left, c.rect.left) << c.tpp.x;
        EXPECT_DOUBLE_EQ(result.rect.top, c.rect.top) << c.tpp.y;
        EXPECT_DOUBLE_EQ(result.rect.width, c.rect.width) << c.tpp.x;
        EXPECT_DOUBLE_EQ(result.rect.height, c.rect.height) << c.tpp.y;
        EXPECT_DOUBLE_EQ(result.fontSize, c.font) << c.tpp.x;
    }
}

TEST(TwipsLayout, PixelRectangleStaysTheSameAfterRescaling)
{
    // The convert zone and the list: the list must not grow over the buttons beside it.
    const std::pair<TwipsRect, QRect> controls[] = {{{6190, 3840, 1845, 945}, {413, 256, 123, 63}},
                                                    {{150, 2070, 5865, 2760}, {10, 138, 391, 184}}};
    for (double tpp : {15.0, 12.0, 10.0, 20.0})
        for (const auto &[twips, pixels] : controls) {
            const ControlPlacement result = rescaled({nullptr, twips, 0}, {tpp, tpp});
            EXPECT_EQ(toPixels(result.rect, {tpp, tpp}), pixels) << tpp;
        }
}

TEST(TwipsLayout, WindowSizes)
{
    struct Case {
        TwipsPerPixel tpp;
        QSize mainWindow;
        QSize settingsWindow;
    };
    // The main window keeps its pixels; the settings window keeps its twips (3795 x 2550), but
    // never shrinks below the pixels its controls keep.
    const Case cases[] = {
        {{15, 15}, {548, 366}, {253, 170}}, {{12, 12}, {548, 366}, {316, 213}}, {{10, 10}, {548, 366}, {380, 255}},
        {{20, 20}, {548, 366}, {253, 170}}, {{12, 15}, {548, 366}, {316, 170}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(rescaledWindowSize({0, 0, 8220, 5490}, c.tpp), c.mainWindow) << c.tpp.x << " " << c.tpp.y;
        EXPECT_EQ(fixedTwipsWindowSize({0, 0, 3795, 2550}, c.tpp), c.settingsWindow) << c.tpp.x << " " << c.tpp.y;
    }
}

TEST(TwipsLayout, ApplyMovesControlsInOrder)
{
    QWidget parent;
    auto *label = new QLabel(&parent);
    std::vector<ControlPlacement> layout = {{label, {150, 2070, 5865, 2760}, 9}};
    applyRescaling(layout, {15, 15});
    EXPECT_EQ(label->geometry(), QRect(10, 138, 391, 184));
    EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 9);
}

TEST(Numeric, RoundHalfEven)
{
    const std::pair<double, double> cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2},  {12.5, 12}, {37.5, 38},
                                               {2.4, 2}, {2.6, 3}, {-0.5, 0}, {-1.5, -2}, {3, 3}};
    for (const auto &[value, expected] : cases)
        EXPECT_EQ(roundHalfEven(value), expected) << value;
}

} // namespace
} // namespace pagemint
