#include "PageTurn.h"

#include <array>
#include <charconv>

namespace pagemint {

namespace {
constexpr std::string_view kTurnOption = "--turn=";

// Each orientation as "mirror left to right first (or not), then so many quarter turns clockwise":
// EXIF 5 is a mirror and three quarter turns, 7 a mirror and one.
constexpr std::array<std::array<int, 4>, 2> kOrientationOf = {{{1, 6, 3, 8}, {2, 7, 4, 5}}};

struct Steps {
    int mirrored = 0;
    int quarters = 0;
};

Steps stepsOf(int orientation)
{
    for (int mirrored = 0; mirrored < 2; ++mirrored)
        for (int quarters = 0; quarters < 4; ++quarters)
            if (kOrientationOf[mirrored][quarters] == orientation)
                return {mirrored, quarters};
    return {};
}
} // namespace

std::optional<int> quarterTurn(int degrees)
{
    if (degrees % 90 != 0)
        return std::nullopt;
    return ((degrees % 360) + 360) % 360;
}

int turnedOrientation(int orientation, int turn)
{
    // A turn after a mirror and quarter turns only adds quarter turns.
    const Steps steps = stepsOf(orientation);
    const int quarters = (steps.quarters + quarterTurn(turn).value_or(0) / 90) % 4;
    return kOrientationOf[steps.mirrored][quarters];
}

std::string turnArgument(std::string_view pageName, int turn)
{
    return std::string(kTurnOption) + std::string(pageName) + ':' + std::to_string(quarterTurn(turn).value_or(0));
}

bool isTurnArgument(std::string_view argument)
{
    return argument.starts_with(kTurnOption);
}

std::optional<std::map<std::string, int>> parseTurnArguments(const std::vector<std::string_view> &arguments)
{
    std::map<std::string, int> turns;
    for (std::string_view argument : arguments) {
        if (!isTurnArgument(argument))
            return std::nullopt;
        argument.remove_prefix(kTurnOption.size());
        // A file name may hold a colon; the turn follows the last one.
        const std::size_t colon = argument.rfind(':');
        if (colon == std::string_view::npos || colon == 0)
            return std::nullopt;
        const std::string_view value = argument.substr(colon + 1);
        int degrees = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), degrees);
        const std::optional<int> turn = quarterTurn(degrees);
        if (value.empty() || error != std::errc() || end != value.data() + value.size() || !turn || degrees != *turn)
            return std::nullopt;
        if (!turns.emplace(std::string(argument.substr(0, colon)), *turn).second)
            return std::nullopt;
    }
    std::erase_if(turns, [](const auto &entry) { return entry.second == 0; });
    return turns;
}

} // namespace pagemint
