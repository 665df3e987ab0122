#include "DecoderServerProtocol.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace pagemint::decoder {

namespace {
// Room for one descriptor more than a request has, so that too many show as a wrong count
// instead of cut control data.
constexpr std::size_t kControlSpace = CMSG_SPACE(sizeof(int) * (kDescriptorsPerRequest + 1));

msghdr messageOf(iovec &data, void *control, std::size_t controlSize)
{
    msghdr message{};
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = controlSize;
    return message;
}

// Descriptors a message carries.
std::vector<int> descriptorsOf(msghdr &message)
{
    std::vector<int> fds;
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
    return fds;
}
} // namespace

bool sendRequest(int socket, std::uint64_t id, const RequestDescriptors &descriptors, DecodeForm form)
{
    DecodeRequest request{id, form};
    iovec data{&request, sizeof request};
    alignas(cmsghdr) std::array<char, CMSG_SPACE(sizeof(RequestDescriptors))> control{};
    msghdr message = messageOf(data, control.data(), control.size());
    cmsghdr *rights = CMSG_FIRSTHDR(&message);
    rights->cmsg_level = SOL_SOCKET;
    rights->cmsg_type = SCM_RIGHTS;
    rights->cmsg_len = CMSG_LEN(sizeof(RequestDescriptors));
    std::memcpy(CMSG_DATA(rights), descriptors.data(), sizeof(RequestDescriptors));
    ssize_t sent = 0;
    do
        sent = ::sendmsg(socket, &message, MSG_NOSIGNAL);
    while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(sizeof request);
}

std::optional<ReceivedRequest> receiveRequest(int socket)
{
    ReceivedRequest received;
    iovec data{&received.request, sizeof received.request};
    alignas(cmsghdr) std::array<char, kControlSpace> control{};
    msghdr message = messageOf(data, control.data(), control.size());
    ssize_t got = 0;
    do
        got = ::recvmsg(socket, &message, MSG_CMSG_CLOEXEC);
    while (got < 0 && errno == EINTR);
    if (got <= 0)
        return std::nullopt;
    received.descriptors = descriptorsOf(message);
    received.whole = static_cast<std::size_t>(got) == sizeof received.request &&
                     (message.msg_flags & (MSG_CTRUNC | MSG_TRUNC)) == 0 &&
                     received.descriptors.size() == kDescriptorsPerRequest &&
                     (received.request.form == DecodeForm::Page || received.request.form == DecodeForm::Thumbnail);
    return received;
}

bool sendReport(int socket, const DecodeReport &report)
{
    ssize_t sent = 0;
    do
        sent = ::send(socket, &report, sizeof report, MSG_NOSIGNAL);
    while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(sizeof report);
}

ReportReceived receiveReport(int socket, DecodeReport &report, ReportWait wait)
{
    ssize_t got = 0;
    do
        got = ::recv(socket, &report, sizeof report, wait == ReportWait::DontWait ? MSG_DONTWAIT : 0);
    while (got < 0 && errno == EINTR);
    if (got == static_cast<ssize_t>(sizeof report))
        return ReportReceived::Report;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return ReportReceived::NothingYet;
    return ReportReceived::End;
}

} // namespace pagemint::decoder
