#include "SkinLayout.h"

#include <array>

namespace skingen {

namespace {

constexpr QSize kMenuPicture{46, 16};
constexpr QSize kToolbarPicture{66, 72};

// A table, one zone to a row: clang-format would give each field a line.
// clang-format off
const std::array kZones{
    Zone{ZoneKind::Menu, {14, 31, 45, 17}, kMenuPicture, Glyph::None, "文件", "menu_hover_0", nullptr},
    Zone{ZoneKind::Menu, {69, 31, 45, 17}, kMenuPicture, Glyph::None, "移除", "menu_hover_1", nullptr},
    Zone{ZoneKind::Menu, {126, 31, 47, 17}, kMenuPicture, Glyph::None, "排序", "menu_hover_2", nullptr},
    Zone{ZoneKind::Menu, {182, 31, 45, 17}, kMenuPicture, Glyph::None, "帮助", "menu_hover_3", nullptr},

    Zone{ZoneKind::Toolbar, {5, 53, 69, 72}, kToolbarPicture, Glyph::PicturePlus, "添加文件", "toolbar_hover_0", "toolbar_pressed_0"},
    Zone{ZoneKind::Toolbar, {75, 53, 63, 71}, kToolbarPicture, Glyph::Trash, "移除", "toolbar_hover_1", "toolbar_pressed_1"},
    Zone{ZoneKind::Toolbar, {146, 53, 67, 71}, kToolbarPicture, Glyph::FolderPlus, "添加目录", "toolbar_hover_2", "toolbar_pressed_2"},
    Zone{ZoneKind::Toolbar, {216, 53, 63, 71}, kToolbarPicture, Glyph::Gear, "设置", "toolbar_hover_3", "toolbar_pressed_3"},
    Zone{ZoneKind::Toolbar, {286, 53, 63, 71}, kToolbarPicture, Glyph::Globe, "网站", "toolbar_hover_4", "toolbar_pressed_4"},
    Zone{ZoneKind::Toolbar, {355, 53, 59, 71}, kToolbarPicture, Glyph::Power, "退出", "toolbar_hover_5", "toolbar_pressed_5"},

    Zone{ZoneKind::Convert, {413, 256, 123, 63}, {122, 63}, Glyph::None, "转换PDF", "convert_hover", nullptr},
    Zone{ZoneKind::Arrow, {410, 159, 55, 65}, {55, 64}, Glyph::ArrowUp, nullptr, "up_hover", nullptr},
    Zone{ZoneKind::Arrow, {473, 159, 55, 65}, {55, 64}, Glyph::ArrowDown, nullptr, "down_hover", nullptr},

    Zone{ZoneKind::WindowButton, {512, 6, 15, 17}, {}, Glyph::Minimise, nullptr, nullptr, nullptr},
    Zone{ZoneKind::WindowButton, {528, 6, 15, 17}, {}, Glyph::Close, nullptr, nullptr, nullptr},
};
// clang-format on

const std::array kQuietAreas{
    QuietArea{"page number", {412, 140, 123, 15}},     QuietArea{"up caption", {414, 226, 55, 14}},
    QuietArea{"down caption", {477, 226, 55, 14}},     QuietArea{"progress bar", {10, 336, 391, 23}},
    QuietArea{"progress percent", {412, 342, 40, 14}}, QuietArea{"path", {228, 339, 313, 17}},
};

} // namespace

std::span<const Zone> zones()
{
    return kZones;
}
std::span<const QuietArea> quietAreas()
{
    return kQuietAreas;
}

} // namespace skingen
