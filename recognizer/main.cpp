// pagemint-recognizer [--languages=chi_sim+eng|eng] [--upright] [--turn=90|180|270] --models=DIR... < PAGE > TEXT
// Reads the staged JPEG page on stdin and writes its text (contract/PageText.h) to stdout: the
// page's turn with --upright, its lines and words with --languages. Exits 0 and names the models it
// used on stderr, or prints one reason line there and exits with a code of RecognizerExit. The
// caller opens the files and runs it under a memory cap and a time limit (PictureLimits.h).
//
// The order matters: one engine thread (a restart, before anything is loaded), the models read
// and the engine started, then the sandbox, and only then the first byte of the page.

#include "Engine.h"
#include "Messages.h"
#include "Models.h"
#include "OneThread.h"
#include "PageInput.h"
#include "contract/PictureLimits.h"
#include "contract/Reasons.h"
#include "contract/TextRecognition.h"
#include "sandbox/Sandbox.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace pagemint;
using namespace pagemint::recognizer;

namespace {
constexpr const char *kUsage = "usage: pagemint-recognizer [--languages=chi_sim+eng|eng] [--upright] "
                               "[--turn=90|180|270] --models=DIR... < PAGE > TEXT";

Outcome writeText(const PageText &text)
{
    const std::string file = writePageText(text);
    const bool written = std::fwrite(file.data(), 1, file.size(), stdout) == file.size() && std::fflush(stdout) == 0;
    if (!written)
        return Outcome::failed(RecognizerExit::WriteFailed, std::string(reason::kCannotWrite));
    return Outcome::fine();
}

Outcome recognisePage(const RecognizerRequest &request, Engine &engine)
{
    std::vector<unsigned char> bytes;
    if (Outcome read = readBounded(STDIN_FILENO, kRecognizerMaxInputBytes, bytes); !read.ok())
        return read;
    Page page;
    if (Outcome decoded = decodePage(bytes, page); !decoded.ok())
        return decoded;
    bytes = {};

    // The page is read as it will be shown: the user's turn first, then the one that puts its text
    // upright; the text file's turn is both.
    PageText text;
    const auto turn = [&page](int degrees) {
        page.pix = turned(std::move(page.pix), {degrees, false});
        return page.pix != nullptr;
    };
    if (request.turn != 0 && !turn(request.turn))
        return Outcome::failed(RecognizerExit::TooLarge, std::string(reason::kTooLarge));
    text.turn = request.turn;
    if (request.upright) {
        const int upright = engine.findTurn(page.pix.get(), page.resolution);
        if (upright != 0 && !turn(upright))
            return Outcome::failed(RecognizerExit::TooLarge, std::string(reason::kTooLarge));
        text.turn = (text.turn + upright) % 360;
    }
    text.width = static_cast<int>(pixGetWidth(page.pix.get()));
    text.height = static_cast<int>(pixGetHeight(page.pix.get()));
    if (Outcome recognised = engine.recognise(page.pix.get(), page.resolution, text); !recognised.ok())
        return recognised;
    return writeText(text);
}

Outcome run(const RecognizerRequest &request, ModelStore &models)
{
    if (Outcome loaded = models.load(modelsNeeded(request), request.modelFolders); !loaded.ok())
        return loaded;
    Engine engine;
    if (Outcome started = engine.start(engineLanguages(request.recognition), request.upright); !started.ok())
        return started;
    // Whatever the page holds gets its say only in here.
    if (std::string failure; !sandbox::enterSandbox(failure))
        return Outcome::failed(RecognizerExit::SandboxFailed, reason::inBrackets(reason::kSystemError, failure));
    return recognisePage(request, engine);
}
} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const std::optional<RecognizerRequest> request = parseRecognizerArguments(arguments);
    if (!request || request->modelFolders.empty()) {
        std::fprintf(stderr, "%s\n", kUsage);
        return static_cast<int>(RecognizerExit::Usage);
    }
    // Should the restart fail, the engine still works, only with more threads than its share.
    if (!keepsToOneThread(std::getenv(kThreadLimitVariable)))
        (void)restartWithOneThread(argv);

    silenceLibraries();
    ModelStore models;
    const Outcome outcome = run(*request, models);
    sayLine(outcome.ok() ? modelsUsedLine(models.used()) : outcome.reason);
    return static_cast<int>(outcome.code);
}
