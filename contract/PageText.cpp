#include "PageText.h"

#include "ConverterContract.h"

#include <charconv>
#include <cstdint>

namespace pagemint {

namespace {
constexpr std::string_view kHeader = "pagemint-text 1";

// True for text that is whole UTF-8 without C0/C1 controls, DEL or space.
bool wordTextFits(std::string_view text)
{
    if (text.empty() || text.size() > kMaxWordBytes)
        return false;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead <= 0x20 || lead == 0x7f) {
            return false;
        }
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        std::uint32_t code = 0;
        if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2;
            code = lead & 0x1fU;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3;
            code = lead & 0x0fU;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            length = 4;
            code = lead & 0x07U;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xc0U) != 0x80U)
                return false;
            code = (code << 6U) | (next & 0x3fU);
        }
        const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
        const bool surrogate = code >= 0xd800 && code <= 0xdfff;
        if (overlong || surrogate || code > 0x10ffff || (code >= 0x80 && code < 0xa0))
            return false;
        i += length;
    }
    return true;
}

void appendBox(std::string &out, const TextBox &box)
{
    for (const int value : {box.x0, box.y0, box.x1, box.y1}) {
        out += ' ';
        out += std::to_string(value);
    }
}

// Splits off the next space-separated field of `rest`.
std::string_view nextField(std::string_view &rest)
{
    const std::size_t space = rest.find(' ');
    const std::string_view field = rest.substr(0, space);
    rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    return field;
}

bool readInt(std::string_view &rest, int &value)
{
    const std::string_view field = nextField(rest);
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    return error == std::errc() && end == field.data() + field.size() && !field.empty();
}

bool readBox(std::string_view &rest, const PageText &page, TextBox &box)
{
    return readInt(rest, box.x0) && readInt(rest, box.y0) && readInt(rest, box.x1) && readInt(rest, box.y1) &&
           box.x0 >= 0 && box.y0 >= 0 && box.x0 < box.x1 && box.y0 < box.y1 && box.x1 <= page.width &&
           box.y1 <= page.height;
}

std::optional<PageText> refuse(std::string &problem, std::string what, std::size_t lineNumber)
{
    problem = "line " + std::to_string(lineNumber) + ": " + std::move(what);
    return std::nullopt;
}
} // namespace

std::string writePageText(const PageText &text)
{
    std::string out(kHeader);
    out += "\nsize " + std::to_string(text.width) + ' ' + std::to_string(text.height);
    out += "\nturn " + std::to_string(text.turn) + '\n';
    for (const TextLine &line : text.lines) {
        std::string words;
        for (const TextWord &word : line.words) {
            if (!wordTextFits(word.text))
                continue;
            words += "word";
            appendBox(words, word.box);
            words += ' ' + word.text + '\n';
        }
        if (words.empty())
            continue;
        out += "line";
        appendBox(out, line.box);
        out += ' ' + std::to_string(line.baseline) + '\n' + words;
    }
    return out;
}

std::optional<PageText> parsePageText(std::string_view file, std::string &problem)
{
    if (file.size() > kMaxPageTextBytes)
        return refuse(problem, "file too large", 0);
    PageText page;
    std::size_t number = 0;
    bool sized = false;
    bool turned = false;
    while (!file.empty()) {
        const std::size_t end = file.find('\n');
        if (end == std::string_view::npos)
            return refuse(problem, "last line not ended", number + 1);
        std::string_view rest = file.substr(0, end);
        file.remove_prefix(end + 1);
        ++number;
        if (number == 1) {
            if (rest != kHeader)
                return refuse(problem, "not a page text file", number);
            continue;
        }
        const std::string_view kind = nextField(rest);
        if (kind == "size" && !sized) {
            if (!readInt(rest, page.width) || !readInt(rest, page.height) || !rest.empty() || page.width <= 0 ||
                page.height <= 0 || page.width > kMaxTextPictureSide || page.height > kMaxTextPictureSide)
                return refuse(problem, "bad size", number);
            sized = true;
        } else if (kind == "turn" && sized && !turned) {
            if (!readInt(rest, page.turn) || !rest.empty() || page.turn < 0 || page.turn > 270 || page.turn % 90 != 0)
                return refuse(problem, "bad turn", number);
            turned = true;
        } else if (kind == "line" && turned) {
            if (page.lines.size() == kMaxTextLines)
                return refuse(problem, "too many lines", number);
            if (!page.lines.empty() && page.lines.back().words.empty())
                return refuse(problem, "line without words", number - 1);
            TextLine line;
            if (!readBox(rest, page, line.box) || !readInt(rest, line.baseline) || !rest.empty() ||
                line.baseline < line.box.y0 || line.baseline > line.box.y1)
                return refuse(problem, "bad line", number);
            page.lines.push_back(std::move(line));
        } else if (kind == "word" && !page.lines.empty()) {
            TextLine &line = page.lines.back();
            if (line.words.size() == kMaxWordsPerLine)
                return refuse(problem, "too many words", number);
            TextWord word;
            if (!readBox(rest, page, word.box) || !wordTextFits(rest))
                return refuse(problem, "bad word", number);
            word.text = std::string(rest);
            line.words.push_back(std::move(word));
        } else {
            return refuse(problem, "unexpected record", number);
        }
    }
    if (!turned)
        return refuse(problem, "no size or turn", number);
    if (!page.lines.empty() && page.lines.back().words.empty())
        return refuse(problem, "line without words", number);
    return page;
}

std::string stagedTextName(int index)
{
    return *stagedTextNameForPage(stagedPageName(index));
}

std::optional<std::string> stagedTextNameForPage(std::string_view pageName)
{
    if (!isStagedPageName(pageName))
        return std::nullopt;
    return std::string(pageName.substr(0, pageName.size() - 4)) + ".txt";
}

} // namespace pagemint
