// The real helpers, watched from inside by a preloaded library (ReadSpy.cpp): each must be shut in
// before it reads the first byte of the picture, even the few that name its format, and by then
// hold nothing but its three streams.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
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

struct Helper {
    const char *name;
    const char *path;
};

TEST(HelperReadOrder, EachHelperReadsThePictureOnlyInsideItsSandbox)
{
    const Helper helpers[] = {
        {"first reader", PAGEMINT_DECODER},
        {"second reader", PAGEMINT_FALLBACK_DECODER},
    };
    std::string pattern = (fs::path(::testing::TempDir()) / "pagemint-read-order-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path root = pattern;
    std::ofstream(root / "picture.bmp", std::ios::binary)
        .write(reinterpret_cast<const char *>(kOnePixelBmp), sizeof kOnePixelBmp);
    int inherited[2];
    ASSERT_EQ(pipe2(inherited, O_CLOEXEC | O_NONBLOCK), 0);
    ASSERT_EQ(fcntl(inherited[1], F_SETFD, 0), 0); // the write end reaches the helper

    std::vector<std::string> variables{std::string("LD_PRELOAD=") + PAGEMINT_READ_SPY,
                                       "PAGEMINT_SPY_INHERITED_FD=" + std::to_string(inherited[1])};
    for (char **variable = environ; *variable != nullptr; ++variable)
        if (std::strncmp(*variable, "LD_PRELOAD=", 11) != 0)
            variables.emplace_back(*variable);
    std::vector<char *> environment;
    for (std::string &variable : variables)
        environment.push_back(variable.data());
    environment.push_back(nullptr);

    for (const Helper &helper : helpers) {
        SCOPED_TRACE(helper.name);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, (root / "picture.bmp").c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, (root / "page.jpg").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, (root / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        char *arguments[] = {const_cast<char *>(helper.path), nullptr};
        pid_t child = 0;
        const int error = posix_spawn(&child, helper.path, &actions, nullptr, arguments, environment.data());
        posix_spawn_file_actions_destroy(&actions);
        ASSERT_EQ(error, 0) << std::strerror(error);
        int status = -1;
        ASSERT_EQ(waitpid(child, &status, 0), child);

        const std::string said = readAll(root / "stderr");
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << ": " << said;
        EXPECT_NE(said.find("first-read sandboxed\n"), std::string::npos) << said;
        EXPECT_EQ(said.find("unconfined"), std::string::npos) << said;
        EXPECT_NE(said.find("write-inherited EBADF\n"), std::string::npos) << said;
        EXPECT_EQ(readAll(root / "page.jpg").substr(0, 2), "\xff\xd8");
        char leaked = 0;
        EXPECT_EQ(read(inherited[0], &leaked, 1), -1);
    }
    close(inherited[0]);
    close(inherited[1]);
    fs::remove_all(root);
}

} // namespace
