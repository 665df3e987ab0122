#include "DecoderServerProtocol.h"

#include <sys/socket.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace pagemint::decoder {

bool sendDecodeRequest(int socket, const DecodeRequest &request, std::span<const int, kDescriptorsPerRequest> fds)
{
    alignas(cmsghdr) std::array<char, CMSG_SPACE(fds.size_bytes())> control{};
    iovec data{const_cast<DecodeRequest *>(&request), sizeof request};
    msghdr message{};
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control.data();
    message.msg_controllen = control.size();
    cmsghdr *rights = CMSG_FIRSTHDR(&message);
    rights->cmsg_level = SOL_SOCKET;
    rights->cmsg_type = SCM_RIGHTS;
    rights->cmsg_len = CMSG_LEN(fds.size_bytes());
    std::memcpy(CMSG_DATA(rights), fds.data(), fds.size_bytes());
    ssize_t sent = 0;
    do
        sent = ::sendmsg(socket, &message, MSG_NOSIGNAL);
    while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(sizeof request);
}

} // namespace pagemint::decoder
