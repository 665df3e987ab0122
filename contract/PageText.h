#pragma once
// The text recognised on a staged page, as the text recogniser writes it and the converter reads it
// to lay an invisible text layer over the picture. The recogniser has read a hostile picture, so
// the reader trusts nothing: any line out of form, any box outside the picture, any limit passed
// makes the whole file "no text" and the page is written as if there were none.
//
// The file is UTF-8 text, one record a line, fields separated by single spaces:
//   pagemint-text 1
//   size W H                picture size in pixels, as the words' boxes see it (see below)
//   turn D                  clockwise quarter turn (0, 90, 180, 270) that puts the page upright
//   line X0 Y0 X1 Y1 B      a line of text: its box, and the baseline's height B in the same grid
//   word X0 Y0 X1 Y1 TEXT   a word of the line above it: its box and its text (the rest of the line)
// Boxes are in pixels of the picture as it will be shown: turned by its EXIF orientation and then
// by `turn`, origin at the top left, x to the right and y down; X0 < X1, Y0 < Y1, inside W x H.
// Lines come in reading order and words in the order they are read. A word's text holds no space,
// control character or invalid UTF-8. A file with no line is valid: a page found to have no text
// (or recognised for its turn alone).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pagemint {

struct TextBox {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool operator==(const TextBox &) const = default;
};

struct TextWord {
    TextBox box;
    std::string text;
    bool operator==(const TextWord &) const = default;
};

struct TextLine {
    TextBox box;
    int baseline = 0; // y of the baseline, y0 <= baseline <= y1
    std::vector<TextWord> words;
    bool operator==(const TextLine &) const = default;
};

struct PageText {
    int width = 0, height = 0;
    int turn = 0; // 0, 90, 180 or 270, clockwise, on top of the EXIF orientation
    std::vector<TextLine> lines;
    bool operator==(const PageText &) const = default;
};

// What a reader accepts; a file past any of them is refused whole.
inline constexpr std::size_t kMaxPageTextBytes = 4 * 1024 * 1024;
inline constexpr std::size_t kMaxTextLines = 20'000;
inline constexpr std::size_t kMaxWordsPerLine = 2'000;
inline constexpr std::size_t kMaxWordBytes = 1'024;
inline constexpr int kMaxTextPictureSide = 65'535;

// The file's text. Words whose text would break the form (empty, spaces, control characters,
// invalid UTF-8) are left out, and a line left without words with them.
std::string writePageText(const PageText &text);
// Reads a file written by writePageText; none, with what was wrong in `problem` (English, for the
// log), for anything else.
std::optional<PageText> parsePageText(std::string_view file, std::string &problem);

// The staged text of the page at list position `index`: "00004.txt" beside "00004.jpg". The
// recogniser writes it as "00004.txt.part" (kPartialPageSuffix) and it is renamed when whole; the
// converter lays the text of "<page number>.txt" over that page when the file is there, and writes
// the page exactly as without recognition when it is not.
std::string stagedTextName(int index);
// The text file's name for a staged page name ("00004.jpg" -> "00004.txt"); none for another name.
std::optional<std::string> stagedTextNameForPage(std::string_view pageName);

} // namespace pagemint
