#pragma once
// The text recognition a job asks for, and how the program tells the recogniser helper: the
// settings file, the command line and the helper's arguments all use the words here.

#include <chrono>
#include <cstdint>
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
// What one recogniser run may take: the engine and its models need a few hundred megabytes, and a
// page takes a few seconds on one core; past either the page is left without text.
inline constexpr std::uint64_t kRecognizerAddressSpaceLimit = 2ull << 30;
inline constexpr std::chrono::seconds kRecognizerTimeLimit{60};

// The recogniser's arguments: the staged page on stdin, the page text (PageText.h) written to
// stdout, one reason line on stderr when it fails.
//   --languages=chi_sim+eng    recognise text (absent: find the page's turn only)
//   --upright                  find the page's turn (absent: the text file's turn is 0)
//   --models=DIR               a folder of <language>.traineddata; repeated, the first that holds a
//                              language's file wins
struct RecognizerRequest {
    Recognition recognition = Recognition::Off;
    bool upright = false;
    std::vector<std::string> modelFolders;
    bool operator==(const RecognizerRequest &) const = default;
};
std::vector<std::string> recognizerArguments(const RecognizerRequest &request);
// None when an argument is not understood or nothing is asked.
std::optional<RecognizerRequest> parseRecognizerArguments(const std::vector<std::string_view> &arguments);

} // namespace pagemint
