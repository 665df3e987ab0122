#pragma once
// The engine's model data, read from the model folders before the sandbox closes the file system,
// and handed to the engine from memory (it asks through a FileReader, by file name).

#include "Outcome.h"
#include "contract/TextRecognition.h"

#include <string>
#include <string_view>
#include <vector>

namespace pagemint::recognizer {

// The engine's language string for a recognition ("chi_sim+eng", "eng"); empty for Off.
std::string engineLanguages(Recognition recognition);

// The models a request needs, each once: the recognition's languages, then "osd" for --upright.
std::vector<std::string> modelsNeeded(const RecognizerRequest &request);

// "<folder>/<language>.traineddata".
std::string modelFile(std::string_view folder, std::string_view language);

// The models of one run. The engine's reader finds the store through a single global, so there
// is one store per process.
class ModelStore {
public:
    ModelStore();
    ~ModelStore();
    ModelStore(const ModelStore &) = delete;
    ModelStore &operator=(const ModelStore &) = delete;

    // Reads each language's file from the first folder that has one. Fails with NoModel naming the
    // first language no folder has, or Unreadable when a file is there but cannot be read.
    Outcome load(const std::vector<std::string> &languages, const std::vector<std::string> &folders);
    // Where each model was read from, in the order loaded.
    std::vector<ModelUsed> used() const;

    // The engine's FileReader: the bytes of the model whose file name ends in
    // "/<language>.traineddata" (the folder the engine makes up is ignored), handed over once and
    // then forgotten, so the data is not held twice. False for any other file.
    static bool readForEngine(const char *filename, std::vector<char> *data);

private:
    struct Model {
        std::string language;
        std::string file;
        std::vector<char> bytes;
        bool handedOver = false;
    };
    std::vector<Model> models_;
};

} // namespace pagemint::recognizer
