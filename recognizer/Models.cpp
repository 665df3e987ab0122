#include "Models.h"

#include "contract/Reasons.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace pagemint::recognizer {

namespace {
constexpr std::string_view kModelSuffix = ".traineddata";
ModelStore *theStore = nullptr;

bool isFile(const std::string &path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The whole file; false when any of it cannot be read.
bool readFile(const std::string &path, std::vector<char> &bytes)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    bool read = fstat(fd, &info) == 0;
    if (read) {
        bytes.resize(static_cast<std::size_t>(info.st_size));
        std::size_t done = 0;
        while (read && done < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (got < 0 && errno == EINTR)
                continue;
            read = got > 0;
            done += read ? static_cast<std::size_t>(got) : 0;
        }
    }
    close(fd);
    return read;
}
} // namespace

std::string engineLanguages(Recognition recognition)
{
    return recognition == Recognition::Off ? std::string() : std::string(recognitionWord(recognition));
}

std::vector<std::string> modelsNeeded(const RecognizerRequest &request)
{
    std::vector<std::string> languages;
    std::string_view rest = engineLanguages(request.recognition);
    while (!rest.empty()) {
        const std::size_t plus = rest.find('+');
        languages.emplace_back(rest.substr(0, plus));
        rest = plus == std::string_view::npos ? std::string_view() : rest.substr(plus + 1);
    }
    if (request.upright)
        languages.emplace_back("osd");
    return languages;
}

std::string modelFile(std::string_view folder, std::string_view language)
{
    std::string file(folder);
    if (!file.empty() && file.back() != '/')
        file += '/';
    return file.append(language).append(kModelSuffix);
}

ModelStore::ModelStore()
{
    theStore = this;
}

ModelStore::~ModelStore()
{
    theStore = nullptr;
}

Outcome ModelStore::load(const std::vector<std::string> &languages, const std::vector<std::string> &folders)
{
    for (const std::string &language : languages) {
        std::string found;
        for (const std::string &folder : folders)
            if (const std::string file = modelFile(folder, language); isFile(file)) {
                found = file;
                break;
            }
        if (found.empty())
            return Outcome::failed(RecognizerExit::NoModel, reason::inBrackets(reason::kNoRecognitionModel, language));
        std::vector<char> bytes;
        if (!readFile(found, bytes))
            return Outcome::failed(RecognizerExit::Unreadable, reason::inBrackets(reason::kCannotRead, found));
        if (bytes.empty())
            return Outcome::failed(
                RecognizerExit::NoModel,
                reason::inBrackets(reason::kNoRecognitionModel, found + "：" + std::string(reason::kEmptyFile)));
        models_.push_back({language, found, std::move(bytes)});
    }
    return Outcome::fine();
}

std::vector<ModelUsed> ModelStore::used() const
{
    std::vector<ModelUsed> used;
    for (const Model &model : models_)
        used.push_back({model.language, model.file});
    return used;
}

bool ModelStore::readForEngine(const char *filename, std::vector<char> *data)
{
    if (theStore == nullptr || filename == nullptr || data == nullptr)
        return false;
    const std::string_view name(filename);
    for (Model &model : theStore->models_) {
        const std::string wanted = "/" + model.language + std::string(kModelSuffix);
        const bool matches = name.ends_with(wanted) || name == wanted.substr(1);
        if (!matches || model.handedOver)
            continue;
        *data = std::move(model.bytes);
        model.bytes = {};
        model.handedOver = true;
        return true;
    }
    return false;
}

} // namespace pagemint::recognizer
