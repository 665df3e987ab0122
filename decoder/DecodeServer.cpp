#include "DecodeServer.h"

#include "contract/DecoderServerProtocol.h"
#include "contract/PictureLimits.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/signalfd.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <array>
#include <cerrno>
#include <cstdio>
#include <map>
#include <optional>
#include <vector>

namespace pagemint::decoder {

namespace {
using Descriptors = std::vector<int>;

void closeAll(const Descriptors &fds)
{
    for (const int fd : fds)
        ::close(fd);
}

void report(int socket, std::uint64_t id, DecodeReport::Kind kind, int value)
{
    // The program may be gone; its end of file ends the loop soon after.
    (void)sendReport(socket, DecodeReport{id, kind, value});
}

// In the child: from here on it is one helper run, as if started with the three files.
[[noreturn]] void becomeHelper(pid_t server, const sigset_t &originalMask, const Descriptors &fds,
                               const DecodeRequest &request, const DecodeOne &decodeOne)
{
    sigprocmask(SIG_SETMASK, &originalMask, nullptr);
    // A child outliving its server would be a decode nobody waits for.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != server)
        _exit(127);
    for (int target = 0; target < kDescriptorsPerRequest; ++target)
        if (::dup2(fds[static_cast<std::size_t>(target)], target) != target)
            _exit(127);
    // The socket, the signal descriptor and anything the server inherited stay out of reach.
    ::close_range(kDescriptorsPerRequest, ~0U, 0);
    const rlimit cap{kDecoderAddressSpaceLimit, kDecoderAddressSpaceLimit};
    const rlimit noCore{0, 0}; // no core files of hostile pictures in the user's folders
    if (setrlimit(RLIMIT_AS, &cap) != 0 || setrlimit(RLIMIT_CORE, &noCore) != 0)
        _exit(127);
    const int code = decodeOne(request.form);
    // The page is flushed by now; the libraries' exit handlers would only cost time in a child.
    std::fflush(nullptr);
    _exit(code);
}

class Server {
public:
    Server(int socket, const DecodeOne &decodeOne) : socket_(socket), decodeOne_(decodeOne) {}

    int run()
    {
        sigset_t childSignal;
        sigemptyset(&childSignal);
        sigaddset(&childSignal, SIGCHLD);
        sigprocmask(SIG_BLOCK, &childSignal, &originalMask_);
        const int ended = signalfd(-1, &childSignal, SFD_CLOEXEC | SFD_NONBLOCK);
        if (ended < 0)
            return 1;
        report(socket_, 0, DecodeReport::Ready, ::getpid());
        for (;;) {
            std::array<pollfd, 2> watched{{{socket_, POLLIN, 0}, {ended, POLLIN, 0}}};
            if (::poll(watched.data(), watched.size(), -1) < 0 && errno != EINTR)
                break;
            if (watched[1].revents != 0) {
                signalfd_siginfo ignored;
                while (::read(ended, &ignored, sizeof ignored) > 0) {
                }
                reapEnded();
            }
            if (watched[0].revents != 0 && !serveOne())
                break;
        }
        ::close(ended);
        killChildren();
        return 0;
    }

private:
    bool serveOne()
    {
        const std::optional<ReceivedRequest> received = receiveRequest(socket_);
        if (!received)
            return false;
        const DecodeRequest &request = received->request;
        const Descriptors &fds = received->descriptors;
        if (!received->whole || fds[0] <= 2 || fds[1] <= 2 || fds[2] <= 2) {
            closeAll(fds);
            report(socket_, request.id, DecodeReport::NotStarted, EBADF);
            return true;
        }
        const pid_t server = ::getpid();
        const pid_t child = ::fork();
        if (child == 0)
            becomeHelper(server, originalMask_, fds, request, decodeOne_);
        const int forkError = errno;
        // Closed at once, so that no later child inherits this picture or page.
        closeAll(fds);
        if (child < 0) {
            report(socket_, request.id, DecodeReport::NotStarted, forkError);
            return true;
        }
        children_.emplace(child, request.id);
        report(socket_, request.id, DecodeReport::Started, child);
        return true;
    }

    void reapEnded()
    {
        int status = 0;
        for (pid_t pid; (pid = ::waitpid(-1, &status, WNOHANG)) > 0;) {
            const auto found = children_.find(pid);
            if (found == children_.end())
                continue;
            report(socket_, found->second, DecodeReport::Ended, status);
            children_.erase(found);
        }
    }

    void killChildren()
    {
        for (const auto &[pid, id] : children_)
            ::kill(pid, SIGKILL);
        for (const auto &[pid, id] : children_)
            ::waitpid(pid, nullptr, 0);
        children_.clear();
    }

    int socket_;
    const DecodeOne &decodeOne_;
    sigset_t originalMask_{};
    std::map<pid_t, std::uint64_t> children_; // running child -> its request
};
} // namespace

int serveDecodes(int socket, const std::function<int()> &decodeOne)
{
    return serveDecodes(socket, DecodeOne([&decodeOne](DecodeForm) { return decodeOne(); }));
}

int serveDecodes(int socket, const DecodeOne &decodeOne)
{
    // Dies with the program that started it, even if the socket were somehow kept open.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
#ifdef __GLIBC__
    // Every child starts from this heap. Chunks the set-up freed (libseccomp's above all) would
    // otherwise sit in glibc's fast bins, and each child's first allocation would merge them again,
    // reading and copying pages of the server's heap: a quarter of a millisecond a picture here.
    malloc_trim(0);
#endif
    return Server(socket, decodeOne).run();
}

} // namespace pagemint::decoder
