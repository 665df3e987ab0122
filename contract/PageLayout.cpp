#include "PageLayout.h"

#include "ChoiceWords.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

namespace pagemint {

namespace {

constexpr ChoiceWords<Paper, 7> paperWords{{{Paper::Original, "original"},
                                            {Paper::A4, "A4"},
                                            {Paper::A5, "A5"},
                                            {Paper::B5, "B5"},
                                            {Paper::Letter, "Letter"},
                                            {Paper::Legal, "Legal"},
                                            {Paper::Picture, "picture"}}};
constexpr ChoiceWords<PageOrientation, 3> orientationWords{{{PageOrientation::Auto, "auto"},
                                                            {PageOrientation::Portrait, "portrait"},
                                                            {PageOrientation::Landscape, "landscape"}}};
constexpr ChoiceWords<PageFit, 2> fitWords{{{PageFit::Fit, "fit"}, {PageFit::Shrink, "shrink"}}};

constexpr std::string_view kPaperOption = "--paper=";
constexpr std::string_view kOrientationOption = "--orientation=";
constexpr std::string_view kMarginOption = "--margin-mm=";
constexpr std::string_view kFitOption = "--fit=";

} // namespace

std::string_view paperWord(Paper paper)
{
    return wordOf(paperWords, paper);
}

std::string_view orientationWord(PageOrientation orientation)
{
    return wordOf(orientationWords, orientation);
}

std::string_view fitWord(PageFit fit)
{
    return wordOf(fitWords, fit);
}

std::optional<Paper> paperFromWord(std::string_view word)
{
    return choiceOf(paperWords, word);
}

std::optional<PageOrientation> orientationFromWord(std::string_view word)
{
    return choiceOf(orientationWords, word);
}

std::optional<PageFit> fitFromWord(std::string_view word)
{
    return choiceOf(fitWords, word);
}

std::optional<int> marginFromWord(std::string_view word)
{
    int margin = -1;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), margin);
    if (word.empty() || error != std::errc() || end != word.data() + word.size() || margin < 0 || margin > kMaxMarginMm)
        return std::nullopt;
    return margin;
}

std::vector<std::string> layoutArguments(const PageLayout &layout)
{
    if (layout.paper == Paper::Original)
        return {};
    const auto join = [](std::string_view option, std::string_view value) {
        return std::string(option) + std::string(value);
    };
    return {join(kPaperOption, paperWord(layout.paper)), join(kOrientationOption, orientationWord(layout.orientation)),
            join(kMarginOption, std::to_string(layout.marginMm)), join(kFitOption, fitWord(layout.fit))};
}

bool isLayoutArgument(std::string_view argument)
{
    return argument.starts_with(kPaperOption) || argument.starts_with(kOrientationOption) ||
           argument.starts_with(kMarginOption) || argument.starts_with(kFitOption);
}

std::optional<PageLayout> parseLayoutArguments(const std::vector<std::string_view> &arguments)
{
    PageLayout layout;
    for (std::string_view argument : arguments) {
        const auto value = [&](std::string_view option) { return argument.substr(option.size()); };
        bool understood = false;
        if (argument.starts_with(kPaperOption)) {
            const auto paper = paperFromWord(value(kPaperOption));
            understood = paper.has_value();
            layout.paper = paper.value_or(layout.paper);
        } else if (argument.starts_with(kOrientationOption)) {
            const auto orientation = orientationFromWord(value(kOrientationOption));
            understood = orientation.has_value();
            layout.orientation = orientation.value_or(layout.orientation);
        } else if (argument.starts_with(kMarginOption)) {
            const auto margin = marginFromWord(value(kMarginOption));
            understood = margin.has_value();
            layout.marginMm = margin.value_or(layout.marginMm);
        } else if (argument.starts_with(kFitOption)) {
            const auto fit = fitFromWord(value(kFitOption));
            understood = fit.has_value();
            layout.fit = fit.value_or(layout.fit);
        }
        if (!understood)
            return std::nullopt;
    }
    return layout;
}

} // namespace pagemint
