// The helpers' sandbox, from outside: a probe enters it, tries every act a hostile picture must not
// achieve and reports each errno; the test also checks what it could have changed.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

extern char **environ;

namespace {

namespace fs = std::filesystem;

struct Finished {
    int status = -1;
    std::string reportText;
    std::map<std::string, std::string> report; // act -> "ok" or errno name
    std::string stdoutText;
};

std::string readAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeAll(const fs::path &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

class SandboxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::path(::testing::TempDir()) / "pagemint-sandbox-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        fs::create_directory(folder());
        writeAll(existing(), kExisting);
        writeAll(root / "stdin", kPicture);
        // A process that is neither the probe nor its parent, for the probe to aim at.
        other = fork();
        ASSERT_GE(other, 0);
        if (other == 0) {
            pause();
            _exit(0);
        }
    }

    void TearDown() override
    {
        if (other > 0) {
            kill(other, SIGKILL);
            waitpid(other, nullptr, 0);
        }
        fs::remove_all(root);
    }

    fs::path folder() const { return root / "folder"; }
    fs::path existing() const { return folder() / "existing"; }

    Finished runProbe(const char *mode) const
    {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, (root / "stdin").c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, (root / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, (root / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const std::string folderText = folder().string();
        const std::string otherText = std::to_string(other);
        std::vector<char *> arguments = {const_cast<char *>(PAGEMINT_SANDBOX_PROBE), const_cast<char *>(mode),
                                         const_cast<char *>(folderText.c_str()), const_cast<char *>(otherText.c_str()),
                                         nullptr};
        pid_t child = 0;
        Finished finished;
        const int error = posix_spawn(&child, PAGEMINT_SANDBOX_PROBE, &actions, nullptr, arguments.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0) {
            ADD_FAILURE() << "cannot start the probe: " << std::strerror(error);
            return finished;
        }
        waitpid(child, &finished.status, 0);
        finished.reportText = readAll(root / "stderr");
        finished.stdoutText = readAll(root / "stdout");
        std::istringstream lines(finished.reportText);
        for (std::string act, result; lines >> act >> result;)
            finished.report[act] = result;
        return finished;
    }

    // What a refused act would have changed in the folder.
    void expectFolderUntouched() const
    {
        std::vector<std::string> names;
        for (const fs::directory_entry &entry : fs::directory_iterator(folder()))
            names.push_back(entry.path().filename().string());
        EXPECT_EQ(names, std::vector<std::string>{"existing"});
        EXPECT_EQ(readAll(existing()), kExisting);
        EXPECT_EQ(fs::status(existing()).permissions(), fs::status(root / "stdin").permissions());
    }

    static constexpr const char *kExisting = "kept as it was\n";
    static constexpr const char *kPicture = "picture bytes \x01\x02\xff and more";
    fs::path root;
    pid_t other = -1;
};

std::string resultOf(const Finished &run, const std::string &act)
{
    const auto found = run.report.find(act);
    return found != run.report.end() ? found->second : "(not reported)";
}

bool exitedWith(int status, int code)
{
    return WIFEXITED(status) && WEXITSTATUS(status) == code;
}

// Each act with its result in the sandbox (EPERM: the system-call filter refused it), and under
// Landlock alone from the ABI version that covers it (0: Landlock does not cover it).
struct Expected {
    const char *act;
    const char *inSandbox;
    int landlockSince;
    const char *underLandlock;
};

const Expected kExpected[] = {
#ifdef SYS_open
    {"open", "EPERM", 1, "EACCES"},
#endif
    {"openat", "EPERM", 1, "EACCES"},
    {"openat2", "EPERM", 1, "EACCES"},
#ifdef SYS_creat
    {"creat", "EPERM", 1, "EACCES"},
#endif
    {"create", "EPERM", 1, "EACCES"},
    {"mkdir", "EPERM", 1, "EACCES"},
    {"unlink", "EPERM", 1, "EACCES"},
    {"rename", "EPERM", 1, "EACCES"},
    {"link", "EPERM", 1, "EACCES"},
    {"symlink", "EPERM", 1, "EACCES"},
    {"truncate", "EPERM", 3, "EACCES"},
    {"chmod", "EPERM", 0, nullptr},
    {"socket", "EPERM", 0, nullptr},
    {"socketpair", "EPERM", 0, nullptr},
    {"connect-tcp", "EPERM", 4, "EACCES"},
    {"fork", "EPERM", 0, nullptr},
    {"spawn", "EPERM", 1, "EACCES"},
    {"kill-parent", "EPERM", 6, "EPERM"},
    {"kill-other", "EPERM", 6, "EPERM"},
    {"tgkill-other", "EPERM", 6, "EPERM"},
    {"sigqueue-other", "EPERM", 6, "EPERM"},
    {"ptrace-other", "EPERM", 1, "EPERM"},
    {"vm-write-other", "EPERM", 1, "EPERM"},
    {"io-uring", "EPERM", 0, nullptr},
    // What a helper still needs: Qt's image conversions start threads; the picture is read from
    // stdin (with a seek back) and the page written to stdout.
    {"thread", "ok", 1, "ok"},
    {"execve", "EPERM", 1, "EACCES"},
    {"copy", "ok", 1, "ok"},
};

TEST_F(SandboxTest, RefusesEachForbiddenActAndKeepsTheDescriptorsItHolds)
{
    const Finished run = runProbe("sandbox");

    ASSERT_TRUE(exitedWith(run.status, 0)) << run.reportText;
    for (const Expected &expected : kExpected)
        EXPECT_EQ(resultOf(run, expected.act), expected.inSandbox) << expected.act;
    EXPECT_EQ(run.stdoutText, kPicture);
    expectFolderUntouched();
}

TEST_F(SandboxTest, LandlockAloneRefusesWhatItsAbiCovers)
{
    const Finished run = runProbe("landlock");

    ASSERT_TRUE(exitedWith(run.status, 0)) << run.reportText;
    ASSERT_EQ(run.report.count("landlock-abi"), 1U) << run.reportText;
    const int abi = std::stoi(run.report.at("landlock-abi"));
    if (abi == 0)
        GTEST_SKIP() << "this kernel has no Landlock; the system-call filter stands alone";
    for (const Expected &expected : kExpected) {
        if (expected.landlockSince == 0 || abi < expected.landlockSince)
            continue;
        EXPECT_EQ(resultOf(run, expected.act), expected.underLandlock) << expected.act;
    }
    EXPECT_EQ(run.stdoutText, kPicture);
}

// glibc ends a process that corrupted its heap with abort(), which signals itself: the parent must
// still see SIGABRT, not an exit code or a different signal.
TEST_F(SandboxTest, AbortStillEndsTheProcessBySigabrt)
{
    for (const char *mode : {"abort", "double-free"}) {
        const Finished run = runProbe(mode);
        EXPECT_TRUE(WIFSIGNALED(run.status) && WTERMSIG(run.status) == SIGABRT)
            << mode << ": status " << run.status << ", stderr: " << run.reportText;
    }
}

} // namespace
