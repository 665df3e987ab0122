// The real helpers, watched from inside by a preloaded library (ReadSpy.cpp): each must be shut in
// before it reads the first byte of the picture, even the few that name its format, and by then
// hold nothing but its three streams.

#include "contract/DecoderServerProtocol.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char **environ;

namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// One red pixel, with the 40-byte header every reader knows.
const unsigned char kOnePixelBmp[] = {
    'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54,  0, 0, 0,        // file header: size, data offset
    40,  0,   0,  0, 1, 0, 0, 0, 1, 0, 0,   0, 1, 0, 24, 0, // size, width, height, planes, bits
    0,   0,   0,  0, 4, 0, 0, 0, 0, 0, 0,   0, 0, 0, 0,  0, // no compression, data size
    0,   0,   0,  0, 0, 0, 0, 0, 0, 0, 255, 0,              // colours; the pixel (blue, green, red) and padding
};

enum class Launch { Program, Served };

struct Helper {
    const char *name;
    const char *path;
    Launch launch;
};

class HelperReadOrder : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::path(::testing::TempDir()) / "pagemint-read-order-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        std::ofstream(root / "picture.bmp", std::ios::binary)
            .write(reinterpret_cast<const char *>(kOnePixelBmp), sizeof kOnePixelBmp);
        ASSERT_EQ(pipe2(inherited, O_CLOEXEC | O_NONBLOCK), 0);
        ASSERT_EQ(fcntl(inherited[1], F_SETFD, 0), 0); // the write end reaches the helper
        variables = {std::string("LD_PRELOAD=") + PAGEMINT_READ_SPY,
                     "PAGEMINT_SPY_INHERITED_FD=" + std::to_string(inherited[1])};
        for (char **variable = environ; *variable != nullptr; ++variable)
            if (std::strncmp(*variable, "LD_PRELOAD=", 11) != 0)
                variables.emplace_back(*variable);
        environment.reserve(variables.size() + 1);
        for (std::string &variable : variables)
            environment.push_back(variable.data());
        environment.push_back(nullptr);
    }

    void TearDown() override
    {
        for (const int end : inherited)
            if (end >= 0)
                close(end);
        fs::remove_all(root);
    }

    // Starts `path` with `arguments` and the spy preloaded; its pid, or -1.
    pid_t start(const char *path, std::vector<const char *> arguments, const posix_spawn_file_actions_t &actions)
    {
        arguments.insert(arguments.begin(), path);
        arguments.push_back(nullptr);
        pid_t child = 0;
        const int error =
            posix_spawn(&child, path, &actions, nullptr, const_cast<char **>(arguments.data()), environment.data());
        EXPECT_EQ(error, 0) << std::strerror(error);
        return error == 0 ? child : -1;
    }

    // The helper program's wait status, run on the picture as the program runs it.
    int runAsProgram(const char *path)
    {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, (root / "picture.bmp").c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, (root / "page.jpg").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, (root / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const pid_t child = start(path, {}, actions);
        posix_spawn_file_actions_destroy(&actions);
        int status = -1;
        if (child > 0)
            waitpid(child, &status, 0);
        return status;
    }

    // The wait status of the server's child decoding the picture, as the server reports it.
    int runServed(const char *path)
    {
        using pagemint::decoder::DecodeReport;
        int ends[2];
        if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0)
            return -1;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[1], 0);
        const pid_t server = start(path, {pagemint::decoder::kServeArgument}, actions);
        posix_spawn_file_actions_destroy(&actions);
        close(ends[1]);
        const pagemint::decoder::RequestDescriptors streams = {
            open((root / "picture.bmp").c_str(), O_RDONLY | O_CLOEXEC),
            open((root / "page.jpg").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600),
            open((root / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)};
        int status = -1;
        DecodeReport report;
        const auto next = [&] {
            return pagemint::decoder::receiveReport(ends[0], report, pagemint::decoder::ReportWait::Block) ==
                   pagemint::decoder::ReportReceived::Report;
        };
        if (server > 0 && next() && report.kind == DecodeReport::Ready &&
            pagemint::decoder::sendRequest(ends[0], 1, streams)) {
            while (next() && report.kind != DecodeReport::NotStarted)
                if (report.kind == DecodeReport::Ended) {
                    status = report.value;
                    break;
                }
        }
        for (const int fd : streams)
            close(fd);
        close(ends[0]); // ends the server
        if (server > 0)
            waitpid(server, nullptr, 0);
        return status;
    }

    fs::path root;
    int inherited[2] = {-1, -1};
    std::vector<std::string> variables;
    std::vector<char *> environment;
};

TEST_F(HelperReadOrder, EachHelperReadsThePictureOnlyInsideItsSandbox)
{
    const Helper helpers[] = {
        {"first reader", PAGEMINT_DECODER, Launch::Program},
        {"first reader's server", PAGEMINT_DECODER, Launch::Served},
        {"second reader", PAGEMINT_FALLBACK_DECODER, Launch::Program},
    };
    for (const Helper &helper : helpers) {
        SCOPED_TRACE(helper.name);
        const int status = helper.launch == Launch::Program ? runAsProgram(helper.path) : runServed(helper.path);

        const std::string said = readAll(root / "stderr");
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << ": " << said;
        EXPECT_NE(said.find("first-read sandboxed\n"), std::string::npos) << said;
        EXPECT_EQ(said.find("unconfined"), std::string::npos) << said;
        EXPECT_NE(said.find("write-inherited EBADF\n"), std::string::npos) << said;
        EXPECT_EQ(readAll(root / "page.jpg").substr(0, 2), "\xff\xd8");
        char leaked = 0;
        EXPECT_EQ(read(inherited[0], &leaked, 1), -1);
    }
}

} // namespace
