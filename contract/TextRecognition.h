#pragma once
// The text recognition a job asks for, and how the program tells the recogniser helper: the
// settings file, the command line and the helper's arguments all use the words here.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pagemint {

// Off: no text layer. The others name the engine's languages: "chi_sim+eng", "eng".
enum class Recognition { Off, ChineseAndEnglish, English };

struct TextChoice {
    Recognition recognition = Recognition::Off;
    // Turn pages found sideways or upside down upright (from the engine's orientation data).
    bool upright = false;
    // True when the recogniser has anything to do for a page.
    bool any() const { return recognition != Recognition::Off || upright; }
    bool operator==(const TextChoice &) const = default;
};

// "off", "chi_sim+eng", "eng"; back from any case, none for another word.
std::string_view recognitionWord(Recognition recognition);
std::optional<Recognition> recognitionFromWord(std::string_view word);

// The recogniser's file name in the application's data/ folder.
inline constexpr std::string_view kRecognizerFileName = "pagemint-recognizer";
// What one run may take is in PictureLimits.h (kRecognizerAddressSpaceLimit and the others).

// The recogniser's arguments: the staged page on stdin, the page text (PageText.h) written to
// stdout, one reason line on stderr when it fails.
//   --languages=chi_sim+eng    recognise text (absent: find the page's turn only)
//   --upright                  find the page's turn (absent: the text file's turn is 0)
//   --turn=90                  the user's clockwise turn of the picture on top of its EXIF
//                              orientation (0, 90, 180, 270; absent: 0): the page is read so
//                              turned, and the text file's turn includes it
//   --models=DIR               a folder of <language>.traineddata; repeated, the first that holds a
//                              language's file wins
struct RecognizerRequest {
    Recognition recognition = Recognition::Off;
    bool upright = false;
    int turn = 0;
    std::vector<std::string> modelFolders;
    bool operator==(const RecognizerRequest &) const = default;
};
std::vector<std::string> recognizerArguments(const RecognizerRequest &request);
// None when an argument is not understood or nothing is asked.
std::optional<RecognizerRequest> parseRecognizerArguments(const std::vector<std::string_view> &arguments);

// Exit codes of the recogniser; each means one thing. On any but Written its stderr holds one line
// with the reason, in the words of Reasons.h.
enum class RecognizerExit : int {
    Written = 0,       // the page text is on stdout
    Usage = 1,         // arguments not understood
    Unreadable = 2,    // the page could not be read from stdin, or is empty
    NotJpeg = 3,       // the page is no JPEG a PDF reader shows (staged pages always are)
    TooLarge = 4,      // past the limits of PictureLimits.h
    Damaged = 5,       // the JPEG did not decode
    NoModel = 6,       // a language's model is in none of the --models folders
    EngineFailed = 7,  // the engine would not start or recognise
    WriteFailed = 8,   // the page text could not be written
    SandboxFailed = 9, // the helper could not give up its rights, so it read nothing
};

// On success the recogniser names on stderr, in one line, the file each model was read from, so
// that the program can log which model a page was read with ("models: chi_sim=/x/chi_sim.traineddata
// eng=..."); the page text format stays as it is.
inline constexpr std::string_view kModelsUsedPrefix = "models:";
struct ModelUsed {
    std::string language; // "chi_sim", "eng", "osd"
    std::string file;
    bool operator==(const ModelUsed &) const = default;
};
std::string modelsUsedLine(const std::vector<ModelUsed> &models);

} // namespace pagemint
