// The helpers' sandbox, from outside: a probe enters it, tries every act a hostile picture must not
// achieve and reports each errno; the test also checks what it could have changed.

#include "contract/DecoderServerProtocol.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
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
    std::map<std::string, std::string> server; // the fork server's /proc status, read once it is ready
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

// The probe as a program of its own (as the second reader runs), or as a child forked by the
// decoder's fork server (as the first reader runs): the sandbox must hold the same in both.
enum class Launch { Program, Forked };

using pagemint::decoder::DecodeReport;

// The "Name:\tvalue" lines of /proc/PID/status.
std::map<std::string, std::string> statusOf(pid_t pid)
{
    std::map<std::string, std::string> fields;
    std::istringstream lines(readAll("/proc/" + std::to_string(pid) + "/status"));
    for (std::string line; std::getline(lines, line);)
        if (const auto colon = line.find(':'); colon != std::string::npos) {
            const auto value = line.find_first_not_of(" \t", colon + 1);
            fields[line.substr(0, colon)] = value != std::string::npos ? line.substr(value) : "";
        }
    return fields;
}

// The next report, blocking; nothing at the server's end.
std::optional<DecodeReport> nextReport(int socket)
{
    DecodeReport report;
    if (pagemint::decoder::receiveReport(socket, report, pagemint::decoder::ReportWait::Block) !=
        pagemint::decoder::ReportReceived::Report)
        return std::nullopt;
    return report;
}

class SandboxTest : public ::testing::TestWithParam<Launch> {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::path(::testing::TempDir()) / "pagemint-sandbox-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        fs::create_directory(folder());
        writeAll(existing(), kExisting);
        writeAll(root / "stdin", kPicture);
        // A pipe the probe inherits, as a helper would inherit the program's own descriptors; only
        // the write end reaches the probe.
        ASSERT_EQ(pipe2(inherited, O_CLOEXEC | O_NONBLOCK), 0);
        ASSERT_EQ(fcntl(inherited[1], F_SETFD, 0), 0);
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
        for (const int end : inherited)
            if (end >= 0)
                close(end);
        fs::remove_all(root);
    }

    fs::path folder() const { return root / "folder"; }
    fs::path existing() const { return folder() / "existing"; }

    Finished runProbe(const char *mode) const
    {
        Finished finished;
        if (GetParam() == Launch::Program)
            finished.status = spawnProbe(mode);
        else
            finished.status = serveProbe(mode, finished.server);
        finished.reportText = readAll(root / "stderr");
        finished.stdoutText = readAll(root / "stdout");
        std::istringstream lines(finished.reportText);
        for (std::string act, result; lines >> act >> result;)
            finished.report[act] = result;
        return finished;
    }

    std::vector<std::string> probeArguments(const char *mode) const
    {
        return {PAGEMINT_SANDBOX_PROBE, mode, folder().string(), std::to_string(other), std::to_string(inherited[1])};
    }

    // Starts the probe with `arguments`, with `actions` applied; its pid, or -1.
    static pid_t spawn(std::vector<std::string> arguments, const posix_spawn_file_actions_t &actions)
    {
        std::vector<char *> argv;
        argv.reserve(arguments.size() + 1);
        for (std::string &argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        pid_t child = 0;
        const int error = posix_spawn(&child, PAGEMINT_SANDBOX_PROBE, &actions, nullptr, argv.data(), environ);
        if (error != 0) {
            ADD_FAILURE() << "cannot start the probe: " << std::strerror(error);
            return -1;
        }
        return child;
    }

    // The wait status of the probe run as a program with the three files as its standard streams.
    int spawnProbe(const char *mode) const
    {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, (root / "stdin").c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, (root / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, (root / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const pid_t child = spawn(probeArguments(mode), actions);
        posix_spawn_file_actions_destroy(&actions);
        int status = -1;
        if (child > 0)
            waitpid(child, &status, 0);
        return status;
    }

    // The wait status the fork server reports for its child run on the three files; `server` gets
    // the server's own status lines as they are when it reports ready.
    int serveProbe(const char *mode, std::map<std::string, std::string> &serverStatus) const
    {
        int ends[2];
        if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) {
            ADD_FAILURE() << "socketpair: " << std::strerror(errno);
            return -1;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[1], 0);
        std::vector<std::string> arguments = probeArguments(mode);
        arguments.insert(arguments.begin() + 1, pagemint::decoder::kServeArgument);
        const pid_t server = spawn(arguments, actions);
        posix_spawn_file_actions_destroy(&actions);
        close(ends[1]);
        int status = -1;
        const pagemint::decoder::RequestDescriptors streams = {
            open((root / "stdin").c_str(), O_RDONLY | O_CLOEXEC),
            open((root / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600),
            open((root / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)};
        const std::optional<DecodeReport> ready = nextReport(ends[0]);
        if (server > 0)
            serverStatus = statusOf(server);
        if (server > 0 && ready && ready->kind == DecodeReport::Ready &&
            pagemint::decoder::sendRequest(ends[0], 7, streams)) {
            for (std::optional<DecodeReport> report; (report = nextReport(ends[0]));) {
                EXPECT_EQ(report->id, 7U);
                if (report->kind == DecodeReport::Started) {
                    EXPECT_NE(report->value, server); // a child, never the server itself
                }
                if (report->kind == DecodeReport::Ended) {
                    status = report->value;
                    break;
                }
                if (report->kind == DecodeReport::NotStarted)
                    break;
            }
        } else {
            ADD_FAILURE() << "the fork server did not take the request";
        }
        for (const int fd : streams)
            close(fd);
        close(ends[0]); // ends the server
        if (server > 0) {
            int serverEnd = -1;
            waitpid(server, &serverEnd, 0);
            EXPECT_TRUE(WIFEXITED(serverEnd) && WEXITSTATUS(serverEnd) == 0) << serverEnd;
        }
        return status;
    }

    // What the probe could write into the inherited pipe.
    std::string inheritedPipeText() const
    {
        std::string text;
        char buffer[64];
        for (ssize_t got; (got = read(inherited[0], buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<std::size_t>(got));
        return text;
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
    int inherited[2] = {-1, -1};
};

std::string valueOf(const std::map<std::string, std::string> &values, const std::string &key)
{
    const auto found = values.find(key);
    return found != values.end() ? found->second : "(not reported)";
}

std::string resultOf(const Finished &run, const std::string &act)
{
    return valueOf(run.report, act);
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
    // Closed before the sandbox is entered: only the three streams are left.
    {"write-inherited", "EBADF", 0, nullptr},
    // Other processes' priority, the parent-death signal that ends a child with the program, and
    // the resource limits the caller set; reading the limits and naming a thread stay.
    {"setpriority-user", "EPERM", 0, nullptr},
    {"setpriority-other", "EPERM", 0, nullptr},
    {"clear-pdeathsig", "EPERM", 0, nullptr},
    {"name-thread", "ok", 1, "ok"},
#ifdef SYS_setrlimit
    {"setrlimit", "EPERM", 0, nullptr},
#endif
    {"prlimit-set", "EPERM", 0, nullptr},
    {"prlimit-get", "ok", 1, "ok"},
    // What a helper still needs: Qt's image conversions start threads; the picture is read from
    // stdin (with a seek back) and the page written to stdout.
    {"thread", "ok", 1, "ok"},
    {"execve", "EPERM", 1, "EACCES"},
    {"copy", "ok", 1, "ok"},
};

TEST_P(SandboxTest, RefusesEachForbiddenActAndKeepsTheDescriptorsItHolds)
{
    const Finished run = runProbe("sandbox");

    ASSERT_TRUE(exitedWith(run.status, 0)) << run.reportText;
    for (const Expected &expected : kExpected)
        EXPECT_EQ(resultOf(run, expected.act), expected.inSandbox) << expected.act;
    EXPECT_EQ(run.stdoutText, kPicture);
    EXPECT_EQ(inheritedPipeText(), "");
    expectFolderUntouched();
    if (GetParam() == Launch::Forked) {
        // The server shut itself in before its first request: no new privileges, a filter loaded
        // (mode 2), which each child inherits and adds its own to.
        EXPECT_EQ(valueOf(run.server, "NoNewPrivs"), "1");
        EXPECT_EQ(valueOf(run.server, "Seccomp"), "2");
    }
}

TEST_P(SandboxTest, LandlockAloneRefusesWhatItsAbiCovers)
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
TEST_P(SandboxTest, AbortStillEndsTheProcessBySigabrt)
{
    for (const char *mode : {"abort", "double-free"}) {
        const Finished run = runProbe(mode);
        EXPECT_TRUE(WIFSIGNALED(run.status) && WTERMSIG(run.status) == SIGABRT)
            << mode << ": status " << run.status << ", stderr: " << run.reportText;
    }
}

INSTANTIATE_TEST_SUITE_P(Launches, SandboxTest, ::testing::Values(Launch::Program, Launch::Forked),
                         [](const ::testing::TestParamInfo<Launch> &launch) {
                             return launch.param == Launch::Program ? "Program" : "ForkedByTheServer";
                         });

} // namespace
