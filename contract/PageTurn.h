#pragma once
// The turn a user gives a picture in the list, on top of the turn its EXIF orientation asks for.
// The program keeps it with the list entry and tells the converter per page; the converter draws
// the page turned by both, the picture's bytes untouched. Standard library only.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pagemint {

// A turn is clockwise, in degrees: 0, 90, 180 or 270. Any multiple of 90 (negative ones turn
// anticlockwise) comes back as one of those; anything else as none.
std::optional<int> quarterTurn(int degrees);

// The EXIF orientation (1..8) of a picture stored with `orientation` and then turned clockwise by
// `turn` degrees: the one orientation that shows it so. An orientation outside 1..8 counts as 1,
// a turn that is no quarter turn as 0.
int turnedOrientation(int orientation, int turn);

// The converter's turn arguments, one per turned page, put with the layout's before its others:
//   --turn=00003.jpg:90
// The page is named as the converter names it in its lines (the staged page name with /NOASK, the
// file name with --out); a page no argument names is not turned.
std::string turnArgument(std::string_view pageName, int turn);
bool isTurnArgument(std::string_view argument);
// Page name -> turn; none when an argument is out of form or names a page twice. Turns of 0 are
// left out.
std::optional<std::map<std::string, int>> parseTurnArguments(const std::vector<std::string_view> &arguments);

} // namespace pagemint
