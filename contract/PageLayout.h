#pragma once
// The page layout a job asks of the converter: paper, orientation, margin and fit. The program
// keeps it in its settings and hands it to pdf.exe as arguments; both sides read and write the
// words here, so the settings file, the command line and the converter cannot drift apart.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pagemint {

// Original: each page as large as its picture says (pixels over stated resolution), no layout.
// Picture: the page has the picture's shape, its longer side kPictureLongSide points.
enum class Paper { Original, A4, A5, B5, Letter, Legal, Picture };
enum class PageOrientation { Auto, Portrait, Landscape };
// Fit: as large as fits inside the margins; Shrink: a picture that fits keeps its own size.
enum class PageFit { Fit, Shrink };

inline constexpr int kMaxMarginMm = 50;

struct PageLayout {
    Paper paper = Paper::Original;
    PageOrientation orientation = PageOrientation::Auto;
    int marginMm = 0;
    PageFit fit = PageFit::Fit;
    bool operator==(const PageLayout &) const = default;
};

// The words of each choice, as the settings file and the command line spell them:
// original A4 A5 B5 Letter Legal picture; auto portrait landscape; fit shrink.
std::string_view paperWord(Paper paper);
std::string_view orientationWord(PageOrientation orientation);
std::string_view fitWord(PageFit fit);
// Each word back, in any case; none for another word.
std::optional<Paper> paperFromWord(std::string_view word);
std::optional<PageOrientation> orientationFromWord(std::string_view word);
std::optional<PageFit> fitFromWord(std::string_view word);
// A margin in whole millimetres from 0 to kMaxMarginMm; none for anything else.
std::optional<int> marginFromWord(std::string_view word);

// The converter's layout arguments, put before its other arguments:
//   --paper=A4 --orientation=auto --margin-mm=10 --fit=fit
// None for the original paper: the converter then runs exactly as it does without a layout.
std::vector<std::string> layoutArguments(const PageLayout &layout);
// True for an argument of that form (whether or not its value is good).
bool isLayoutArgument(std::string_view argument);
// Reads the layout arguments; any missing one keeps its default. None when one is not understood.
std::optional<PageLayout> parseLayoutArguments(const std::vector<std::string_view> &arguments);

} // namespace pagemint
