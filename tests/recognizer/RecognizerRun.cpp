#include "RecognizerRun.h"

#include <gtest/gtest.h>

#include <QFile>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

extern char **environ;

namespace pagemint::test {

namespace {
std::string readAll(const QString &path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::u32string codePoints(const std::string &text)
{
    return QString::fromStdString(text).toStdU32String();
}
} // namespace

bool RecognizerResult::exitedWith(int code) const
{
    return WIFEXITED(status) && WEXITSTATUS(status) == code;
}

std::optional<PageText> RecognizerResult::text() const
{
    std::string problem;
    std::optional<PageText> parsed = parsePageText(out, problem);
    if (!parsed)
        ADD_FAILURE() << "page text refused: " << problem << "\n" << out;
    return parsed;
}

RecognizerRunner::RecognizerRunner()
{
    EXPECT_TRUE(dir_.isValid());
}

RecognizerResult RecognizerRunner::run(const QByteArray &page, const std::vector<std::string> &arguments,
                                       const std::vector<std::string> &variables) const
{
    RecognizerResult result;
    const QString pagePath = path(QStringLiteral("page.jpg"));
    QFile file(pagePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(page) != page.size()) {
        ADD_FAILURE() << "cannot write the page";
        return result;
    }
    file.close();

    std::vector<std::string> environment = variables;
    const bool threadLimitGiven = std::any_of(variables.begin(), variables.end(),
                                              [](const std::string &v) { return v.starts_with("OMP_THREAD_LIMIT="); });
    for (char **variable = environ; *variable != nullptr; ++variable) {
        const std::string_view text(*variable);
        if (text.starts_with("OMP_THREAD_LIMIT=") && !threadLimitGiven)
            continue;
        environment.emplace_back(text);
    }
    std::vector<char *> envp;
    for (std::string &variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::vector<std::string> argumentCopies = arguments;
    argumentCopies.insert(argumentCopies.begin(), PAGEMINT_RECOGNIZER);
    std::vector<char *> argv;
    for (std::string &argument : argumentCopies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, pagePath.toLocal8Bit().constData(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, path(QStringLiteral("page.txt.part")).toLocal8Bit().constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, path(QStringLiteral("stderr")).toLocal8Bit().constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t child = 0;
    const int error = posix_spawn(&child, PAGEMINT_RECOGNIZER, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        ADD_FAILURE() << "cannot start the recogniser: " << std::strerror(error);
        return result;
    }
    waitpid(child, &result.status, 0);
    result.out = readAll(path(QStringLiteral("page.txt.part")));
    result.err = readAll(path(QStringLiteral("stderr")));
    return result;
}

std::string systemModels()
{
    return std::string("--models=") + PAGEMINT_SYSTEM_MODELS;
}

std::vector<std::string> joinedLines(const PageText &text)
{
    std::vector<std::string> lines;
    for (const TextLine &line : text.lines) {
        std::string joined;
        for (const TextWord &word : line.words)
            joined += word.text;
        lines.push_back(joined);
    }
    return lines;
}

int editDistance(const std::string &a, const std::string &b)
{
    const std::u32string x = codePoints(a), y = codePoints(b);
    std::vector<int> previous(y.size() + 1), current(y.size() + 1);
    for (std::size_t j = 0; j <= y.size(); ++j)
        previous[j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= x.size(); ++i) {
        current[0] = static_cast<int>(i);
        for (std::size_t j = 1; j <= y.size(); ++j)
            current[j] =
                std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (x[i - 1] != y[j - 1] ? 1 : 0)});
        std::swap(previous, current);
    }
    return previous[y.size()];
}

} // namespace pagemint::test
