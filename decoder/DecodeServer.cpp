#include "DecodeServer.h"

#include "contract/DecoderServerProtocol.h"
#include "contract/PictureLimits.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <vector>

namespace pagemint::decoder {

namespace {
using Descriptors = std::vector<int>;

// Children forked ahead. One is enough on two cores: it forks and enters its sandbox while the
// picture before it decodes; a second measured no faster.
constexpr std::size_t kSpares = 1;

void closeAll(const Descriptors &fds)
{
    for (const int fd : fds)
        ::close(fd);
}

void report(int socket, std::uint64_t id, DecodeReport::Kind kind, int value)
{
    const DecodeReport message{id, kind, value};
    // The program may be gone; its end of file ends the loop soon after.
    (void)::send(socket, &message, sizeof message, MSG_NOSIGNAL);
}

enum class Received { Request, End };

// One request with its descriptors; anything malformed still comes back as a request whose
// descriptor count is wrong, so the program hears NotStarted instead of waiting.
Received receive(int socket, DecodeRequest &request, Descriptors &fds)
{
    alignas(cmsghdr) std::array<char, CMSG_SPACE(sizeof(int) * (kDescriptorsPerRequest + 1))> control{};
    iovec data{&request, sizeof request};
    msghdr message{};
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control.data();
    message.msg_controllen = control.size();
    ssize_t got = 0;
    do
        got = ::recvmsg(socket, &message, MSG_CMSG_CLOEXEC);
    while (got < 0 && errno == EINTR);
    if (got <= 0)
        return Received::End;
    for (cmsghdr *c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_RIGHTS)
            continue;
        const std::size_t count = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (std::size_t i = 0; i < count; ++i) {
            int fd = -1;
            std::memcpy(&fd, CMSG_DATA(c) + i * sizeof(int), sizeof fd);
            fds.push_back(fd);
        }
    }
    if (static_cast<std::size_t>(got) != sizeof request || (message.msg_flags & MSG_CTRUNC) != 0)
        fds.push_back(-1); // a count no request has
    return Received::Request;
}

// In the child, forked before its request: it takes the limits and runs `prepare` (the sandbox),
// then waits for its three files on `channel`. From then on it is one helper run, as if started
// with the three files.
[[noreturn]] void becomeHelper(pid_t server, const sigset_t &originalMask, int channel, const PrepareDecode &prepare)
{
    sigprocmask(SIG_SETMASK, &originalMask, nullptr);
    // A child outliving its server would be a decode nobody waits for.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != server)
        _exit(127);
    // The channel takes the place of the server's socket on stdin; the server's signal descriptor
    // and anything it inherited stay out of reach.
    if (::dup2(channel, STDIN_FILENO) != STDIN_FILENO)
        _exit(127);
    ::close_range(3, ~0U, 0);
    const rlimit cap{kDecoderAddressSpaceLimit, kDecoderAddressSpaceLimit};
    const rlimit noCore{0, 0}; // no core files of hostile pictures in the user's folders
    if (setrlimit(RLIMIT_AS, &cap) != 0 || setrlimit(RLIMIT_CORE, &noCore) != 0)
        _exit(127);
    const DecodeOne decodeOne = prepare();
    DecodeRequest request;
    Descriptors fds;
    // The server closing the channel unused (it is ending) ends the child here.
    if (receive(STDIN_FILENO, request, fds) == Received::End || fds.size() != kDescriptorsPerRequest)
        _exit(127);
    for (int target = 0; target < kDescriptorsPerRequest; ++target)
        if (::dup2(fds[static_cast<std::size_t>(target)], target) != target)
            _exit(127);
    ::close_range(kDescriptorsPerRequest, ~0U, 0);
    const int code = decodeOne();
    // The page is flushed by now; the libraries' exit handlers would only cost time in a child.
    std::fflush(nullptr);
    _exit(code);
}

class Server {
public:
    Server(int socket, const PrepareDecode &prepare) : socket_(socket), prepare_(prepare) {}

    int run()
    {
        sigset_t childSignal;
        sigemptyset(&childSignal);
        sigaddset(&childSignal, SIGCHLD);
        sigprocmask(SIG_BLOCK, &childSignal, &originalMask_);
        const int ended = signalfd(-1, &childSignal, SFD_CLOEXEC | SFD_NONBLOCK);
        if (ended < 0)
            return 1;
        refillSpares();
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
    // A child forked ahead of a request, and the server's end of its channel.
    struct Spare {
        pid_t pid = 0;
        int channel = -1;
    };

    // 0 or the errno of the failure.
    int forkSpare()
    {
        int ends[2];
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0)
            return errno;
        const pid_t server = ::getpid();
        const pid_t child = ::fork();
        if (child == 0)
            becomeHelper(server, originalMask_, ends[1], prepare_);
        const int forkError = errno;
        ::close(ends[1]);
        if (child < 0) {
            ::close(ends[0]);
            return forkError;
        }
        spares_.push_back({child, ends[0]});
        return 0;
    }

    void refillSpares()
    {
        while (spares_.size() < kSpares && forkSpare() == 0) {
        }
    }

    // Hands the request to the oldest spare (the one most likely ready), forking one first if
    // there is none (they died, or the last fork failed); a spare that died unseen is replaced
    // once. 0 or the errno of the failure.
    int startChild(const DecodeRequest &request, const Descriptors &fds, pid_t &child)
    {
        int error = 0;
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (spares_.empty() && (error = forkSpare()) != 0)
                return error;
            const Spare spare = spares_.front();
            spares_.pop_front();
            const bool handed = sendDecodeRequest(spare.channel, request,
                                                  std::span<const int, kDescriptorsPerRequest>(fds.data(), fds.size()));
            error = errno;
            ::close(spare.channel);
            if (handed) {
                child = spare.pid;
                return 0;
            }
            // Killed, and reaped as a stranger.
            ::kill(spare.pid, SIGKILL);
        }
        return error;
    }

    bool serveOne()
    {
        DecodeRequest request;
        Descriptors fds;
        if (receive(socket_, request, fds) == Received::End) {
            closeAll(fds);
            return false;
        }
        if (fds.size() != kDescriptorsPerRequest || fds[0] <= 2 || fds[1] <= 2 || fds[2] <= 2) {
            closeAll(fds);
            report(socket_, request.id, DecodeReport::NotStarted, EBADF);
            return true;
        }
        pid_t child = 0;
        const int error = startChild(request, fds, child);
        // Closed at once, so that no later child inherits this picture or page.
        closeAll(fds);
        if (error != 0) {
            report(socket_, request.id, DecodeReport::NotStarted, error);
            return true;
        }
        children_.emplace(child, request.id);
        report(socket_, request.id, DecodeReport::Started, child);
        // The next picture's child forks and enters its sandbox while this one decodes.
        refillSpares();
        return true;
    }

    void reapEnded()
    {
        int status = 0;
        for (pid_t pid; (pid = ::waitpid(-1, &status, WNOHANG)) > 0;) {
            if (const auto spare =
                    std::find_if(spares_.begin(), spares_.end(), [pid](const Spare &s) { return s.pid == pid; });
                spare != spares_.end()) {
                ::close(spare->channel);
                spares_.erase(spare);
            }
            const auto found = children_.find(pid);
            if (found == children_.end())
                continue;
            report(socket_, found->second, DecodeReport::Ended, status);
            children_.erase(found);
        }
    }

    void killChildren()
    {
        for (const Spare &spare : spares_) {
            ::close(spare.channel);
            children_.emplace(spare.pid, 0);
        }
        spares_.clear();
        for (const auto &[pid, id] : children_)
            ::kill(pid, SIGKILL);
        for (const auto &[pid, id] : children_)
            ::waitpid(pid, nullptr, 0);
        children_.clear();
    }

    int socket_;
    const PrepareDecode &prepare_;
    sigset_t originalMask_{};
    std::deque<Spare> spares_;
    std::map<pid_t, std::uint64_t> children_; // running child -> its request
};
} // namespace

int serveDecodes(int socket, const PrepareDecode &prepare)
{
    // Dies with the program that started it, even if the socket were somehow kept open.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    return Server(socket, prepare).run();
}

} // namespace pagemint::decoder
