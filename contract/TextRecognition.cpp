#include "TextRecognition.h"

#include "ChoiceWords.h"

#include <charconv>

namespace pagemint {

namespace {
constexpr ChoiceWords<Recognition, 3> recognitionWords{
    {{Recognition::Off, "off"}, {Recognition::ChineseAndEnglish, "chi_sim+eng"}, {Recognition::English, "eng"}}};

constexpr std::string_view kLanguagesOption = "--languages=";
constexpr std::string_view kUprightOption = "--upright";
constexpr std::string_view kModelsOption = "--models=";
constexpr std::string_view kTurnOption = "--turn=";
} // namespace

std::string_view recognitionWord(Recognition recognition)
{
    return wordOf(recognitionWords, recognition);
}

std::optional<Recognition> recognitionFromWord(std::string_view word)
{
    return choiceOf(recognitionWords, word);
}

std::vector<std::string> recognizerArguments(const RecognizerRequest &request)
{
    std::vector<std::string> arguments;
    if (request.recognition != Recognition::Off)
        arguments.push_back(std::string(kLanguagesOption) + std::string(recognitionWord(request.recognition)));
    if (request.upright)
        arguments.emplace_back(kUprightOption);
    if (request.turn != 0)
        arguments.push_back(std::string(kTurnOption) + std::to_string(request.turn));
    for (const std::string &folder : request.modelFolders)
        arguments.push_back(std::string(kModelsOption) + folder);
    return arguments;
}

std::optional<RecognizerRequest> parseRecognizerArguments(const std::vector<std::string_view> &arguments)
{
    RecognizerRequest request;
    for (const std::string_view argument : arguments) {
        if (argument.starts_with(kLanguagesOption)) {
            const std::optional<Recognition> recognition =
                recognitionFromWord(argument.substr(kLanguagesOption.size()));
            if (!recognition || *recognition == Recognition::Off)
                return std::nullopt;
            request.recognition = *recognition;
        } else if (argument == kUprightOption) {
            request.upright = true;
        } else if (argument.starts_with(kTurnOption)) {
            const std::string_view digits = argument.substr(kTurnOption.size());
            int turn = -1;
            const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), turn);
            if (error != std::errc() || end != digits.data() + digits.size() || turn < 0 || turn > 270 ||
                turn % 90 != 0)
                return std::nullopt;
            request.turn = turn;
        } else if (argument.starts_with(kModelsOption) && argument.size() > kModelsOption.size()) {
            request.modelFolders.emplace_back(argument.substr(kModelsOption.size()));
        } else {
            return std::nullopt;
        }
    }
    if (request.recognition == Recognition::Off && !request.upright)
        return std::nullopt;
    return request;
}

std::string modelsUsedLine(const std::vector<ModelUsed> &models)
{
    std::string line(kModelsUsedPrefix);
    for (const ModelUsed &model : models)
        line.append(" ").append(model.language).append("=").append(model.file);
    return line;
}

} // namespace pagemint
