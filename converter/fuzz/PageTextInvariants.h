#pragma once
// What must hold for any bytes handed to the page-text reader, shared by the fuzz target and the
// test that replays its finds: a refusal says why; what is accepted writes back to the same text,
// and lays out as a text layer whose numbers are all numbers, on a page of any size.
#include "TextLayer.h"
#include "contract/PageText.h"

#include <string>
#include <string_view>

namespace pagemint::fuzz {

inline bool pageTextInputHolds(std::string_view bytes)
{
    std::string problem;
    const std::optional<PageText> text = parsePageText(bytes, problem);
    if (!text)
        return !problem.empty();
    std::string again;
    if (parsePageText(writePageText(*text), again) != text)
        return false;
    // A roomy page, and a sliver of one.
    for (const Placement &box : {Placement{595, 842, 28, 28, 539, 786}, Placement{20, 14400, 5, 0, 10, 14400}}) {
        TextCodes codes;
        const std::string content = textLayerContent(*text, box, codes);
        if (content.find("nan") != std::string::npos || content.find("inf") != std::string::npos)
            return false;
        for (const std::string &object : textFontObjects(codes, 10))
            if (object.find("endobj") == std::string::npos)
                return false;
    }
    return true;
}

} // namespace pagemint::fuzz
