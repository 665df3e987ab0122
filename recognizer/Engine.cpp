#include "Engine.h"

#include "Models.h"
#include "contract/Reasons.h"

#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <algorithm>

namespace pagemint::recognizer {

namespace {
struct TextDeleter {
    void operator()(char *text) const { delete[] text; }
};

// Starts `api` on models in memory: no data path, every file through the store.
bool startApi(tesseract::TessBaseAPI &api, const char *languages, tesseract::OcrEngineMode mode)
{
    return api.Init("", 0, languages, mode, nullptr, 0, nullptr, nullptr, false, &ModelStore::readForEngine) == 0;
}

std::optional<TextBox> boxAt(const tesseract::ResultIterator &it, tesseract::PageIteratorLevel level, int width,
                             int height)
{
    int left = 0, top = 0, right = 0, bottom = 0;
    if (!it.BoundingBox(level, &left, &top, &right, &bottom))
        return std::nullopt;
    return boxInside(left, top, right, bottom, width, height);
}

// The baseline's height at the middle of the line, kept within the line's box; its bottom when
// the engine has none.
int baselineOf(const tesseract::ResultIterator &it, const TextBox &box)
{
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (!it.Baseline(tesseract::RIL_TEXTLINE, &x1, &y1, &x2, &y2))
        return box.y1;
    const int middle = (box.x0 + box.x1) / 2;
    const int y = x2 != x1 ? y1 + (y2 - y1) * (middle - x1) / (x2 - x1) : (y1 + y2) / 2;
    return std::clamp(y, box.y0, box.y1);
}
} // namespace

int uprightTurn(int detectedRotation, float confidence)
{
    const bool known =
        detectedRotation == 0 || detectedRotation == 90 || detectedRotation == 180 || detectedRotation == 270;
    if (!known || !(confidence >= kUprightConfidence))
        return 0;
    return (360 - detectedRotation) % 360;
}

std::optional<TextBox> boxInside(int left, int top, int right, int bottom, int width, int height)
{
    const TextBox box{std::clamp(left, 0, width), std::clamp(top, 0, height), std::clamp(right, 0, width),
                      std::clamp(bottom, 0, height)};
    if (box.x0 >= box.x1 || box.y0 >= box.y1)
        return std::nullopt;
    return box;
}

Engine::Engine() = default;
Engine::~Engine() = default;

Outcome Engine::start(const std::string &languages, bool orientation)
{
    const auto failed = [](const char *what) {
        return Outcome::failed(RecognizerExit::EngineFailed, reason::inBrackets(reason::kRecognitionFailed, what));
    };
    if (!languages.empty()) {
        text_ = std::make_unique<tesseract::TessBaseAPI>();
        if (!startApi(*text_, languages.c_str(), tesseract::OEM_LSTM_ONLY))
            return failed("cannot load the text models");
        text_->SetPageSegMode(tesseract::PSM_AUTO);
    }
    if (orientation) {
        // The orientation model is of the older engine kind.
        orientation_ = std::make_unique<tesseract::TessBaseAPI>();
        if (!startApi(*orientation_, "osd", tesseract::OEM_TESSERACT_ONLY))
            return failed("cannot load the orientation model");
        orientation_->SetPageSegMode(tesseract::PSM_OSD_ONLY);
    }
    return Outcome::fine();
}

int Engine::findTurn(Pix *pix, int resolution)
{
    if (!orientation_)
        return 0;
    orientation_->SetImage(pix);
    orientation_->SetSourceResolution(resolution);
    int rotation = 0;
    float confidence = 0;
    const char *script = nullptr;
    float scriptConfidence = 0;
    const bool found = orientation_->DetectOrientationScript(&rotation, &confidence, &script, &scriptConfidence);
    orientation_->Clear();
    return found ? uprightTurn(rotation, confidence) : 0;
}

Outcome Engine::recognise(Pix *pix, int resolution, PageText &text)
{
    if (!text_)
        return Outcome::fine();
    text_->SetImage(pix);
    text_->SetSourceResolution(resolution);
    if (text_->Recognize(nullptr) != 0)
        return Outcome::failed(RecognizerExit::EngineFailed, std::string(reason::kRecognitionFailed));
    const std::unique_ptr<tesseract::ResultIterator> it(text_->GetIterator());
    if (!it || it->Empty(tesseract::RIL_WORD))
        return Outcome::fine();
    do {
        const std::optional<TextBox> lineBox = boxAt(*it, tesseract::RIL_TEXTLINE, text.width, text.height);
        TextLine line;
        if (lineBox) {
            line.box = *lineBox;
            line.baseline = baselineOf(*it, *lineBox);
        }
        do {
            const std::unique_ptr<char, TextDeleter> word(it->GetUTF8Text(tesseract::RIL_WORD));
            const std::optional<TextBox> wordBox = boxAt(*it, tesseract::RIL_WORD, text.width, text.height);
            if (word && wordBox)
                line.words.push_back({*wordBox, word.get()});
            if (it->IsAtFinalElement(tesseract::RIL_TEXTLINE, tesseract::RIL_WORD))
                break;
        } while (it->Next(tesseract::RIL_WORD));
        if (lineBox && !line.words.empty())
            text.lines.push_back(std::move(line));
    } while (it->Next(tesseract::RIL_TEXTLINE));
    return Outcome::fine();
}

} // namespace pagemint::recognizer
