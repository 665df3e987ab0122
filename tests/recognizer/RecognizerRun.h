#pragma once
// The recogniser run as the program runs it: the page on stdin, the text file on stdout, the
// answer on stderr, in a folder of the test's own.

#include "contract/PageText.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <optional>
#include <string>
#include <vector>

namespace pagemint::test {

struct RecognizerResult {
    int status = -1; // as waitpid gives it
    std::string out, err;
    bool exitedWith(int code) const;
    // The page text on stdout, parsed as the converter parses it; none (and a test failure) when
    // it does not parse.
    std::optional<PageText> text() const;
};

class RecognizerRunner {
public:
    RecognizerRunner();
    // Runs the recogniser on `page` with `arguments`, in the test's environment with `variables`
    // added ("NAME=value") and OMP_THREAD_LIMIT removed unless given.
    RecognizerResult run(const QByteArray &page, const std::vector<std::string> &arguments,
                         const std::vector<std::string> &variables = {}) const;
    QString path(const QString &name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

// The system's models as the recogniser's --models argument.
std::string systemModels();

// The words of each line joined without spaces.
std::vector<std::string> joinedLines(const PageText &text);

// Edits that turn `a` into `b`, counted in characters (UTF-8 aware).
int editDistance(const std::string &a, const std::string &b);

} // namespace pagemint::test
