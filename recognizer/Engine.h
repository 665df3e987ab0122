#pragma once
// The recognition engine (Tesseract's C++ API): started from the models in memory before the
// sandbox, then asked for a page's turn and its lines and words.

#include "Outcome.h"
#include "contract/PageText.h"

#include <leptonica/allheaders.h>

#include <memory>
#include <optional>
#include <string>

namespace tesseract {
class TessBaseAPI;
}

namespace pagemint::recognizer {

// The orientation detector's confidence below which a page is left as it is: a wrong turn is worse
// than none. Measured on 300-dpi pages in all four turns: two lines of Chinese 3.2 to 4.2, four
// lines of English about 9.5, a full page 16, every answer right; a blank page or a lone word gets
// no answer (0).
inline constexpr float kUprightConfidence = 2.0F;

// The clockwise turn that puts a page upright, from what the detector says of it: the page's own
// clockwise rotation (0, 90, 180, 270) and the confidence; 0 when not confident or out of form.
int uprightTurn(int detectedRotation, float confidence);

// A box of the engine (left, top, right, bottom; right and bottom one past) as the page text
// holds it, inside width x height; none when nothing of it is left inside.
std::optional<TextBox> boxInside(int left, int top, int right, int bottom, int width, int height);

class Engine {
public:
    Engine();
    ~Engine();
    Engine(const Engine &) = delete;
    Engine &operator=(const Engine &) = delete;

    // Loads the models of `languages` ("chi_sim+eng"; empty: none) and, with `orientation`, the
    // orientation model, through ModelStore::readForEngine.
    Outcome start(const std::string &languages, bool orientation);

    // The clockwise turn that puts `pix` upright (0 when not confident).
    int findTurn(Pix *pix, int resolution);

    // The lines and words of `pix` in reading order, into `text` (its size is set by the caller).
    Outcome recognise(Pix *pix, int resolution, PageText &text);

private:
    std::unique_ptr<tesseract::TessBaseAPI> text_;
    std::unique_ptr<tesseract::TessBaseAPI> orientation_;
};

} // namespace pagemint::recognizer
