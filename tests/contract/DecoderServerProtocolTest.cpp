// The decoder server's messages, through the one encoder and decoder both programs use: what is sent
// arrives whole, descriptors included, and anything malformed is told apart instead of trusted.

#include "contract/DecoderServerProtocol.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

namespace pagemint::decoder {
namespace {

// Both ends of a socket pair as the program and the server hold it; closed at the end.
struct SocketPair {
    SocketPair() { EXPECT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends), 0); }
    ~SocketPair()
    {
        for (const int end : ends)
            if (end >= 0)
                close(end);
    }
    void closeProgramEnd()
    {
        close(ends[0]);
        ends[0] = -1;
    }
    int program() const { return ends[0]; }
    int server() const { return ends[1]; }
    int ends[2] = {-1, -1};
};

struct Pipe {
    Pipe() { EXPECT_EQ(pipe2(ends, O_CLOEXEC | O_NONBLOCK), 0); }
    ~Pipe()
    {
        close(ends[0]);
        close(ends[1]);
    }
    int ends[2] = {-1, -1};
};

void closeAll(const std::vector<int> &fds)
{
    for (const int fd : fds)
        close(fd);
}

// A message no sender of ours builds: `size` bytes with `fds` attached.
void sendRaw(int socket, std::size_t size, const std::vector<int> &fds)
{
    std::vector<char> bytes(size, '\x07');
    iovec data{bytes.data(), bytes.size()};
    std::vector<char> control(CMSG_SPACE(sizeof(int) * fds.size()));
    msghdr message{};
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    if (!fds.empty()) {
        message.msg_control = control.data();
        message.msg_controllen = control.size();
        cmsghdr *rights = CMSG_FIRSTHDR(&message);
        rights->cmsg_level = SOL_SOCKET;
        rights->cmsg_type = SCM_RIGHTS;
        rights->cmsg_len = CMSG_LEN(sizeof(int) * fds.size());
        std::memcpy(CMSG_DATA(rights), fds.data(), sizeof(int) * fds.size());
    }
    ASSERT_EQ(sendmsg(socket, &message, 0), static_cast<ssize_t>(size));
}

TEST(DecoderServerProtocol, ARequestArrivesWithItsIdAndTheSameThreeOpenFiles)
{
    SocketPair socket;
    const Pipe picture, page, reason;
    ASSERT_TRUE(sendRequest(socket.program(), 0x1122334455667788U, {picture.ends[0], page.ends[1], reason.ends[1]}));

    const std::optional<ReceivedRequest> received = receiveRequest(socket.server());
    ASSERT_TRUE(received.has_value());
    EXPECT_TRUE(received->whole);
    EXPECT_EQ(received->request.id, 0x1122334455667788U);
    ASSERT_EQ(received->descriptors.size(), 3U);
    for (const int fd : received->descriptors)
        EXPECT_EQ(fcntl(fd, F_GETFD) & FD_CLOEXEC, FD_CLOEXEC) << fd;
    // Each received descriptor is the sent file, in order: what goes in at one end comes out of
    // the other end of the same pipe.
    ASSERT_EQ(write(picture.ends[1], "p", 1), 1);
    char byte = 0;
    EXPECT_EQ(read(received->descriptors[0], &byte, 1), 1);
    EXPECT_EQ(byte, 'p');
    const char *marks = "-gr";
    for (int i = 1; i < 3; ++i) {
        ASSERT_EQ(write(received->descriptors[static_cast<std::size_t>(i)], marks + i, 1), 1);
        const int readEnd = i == 1 ? page.ends[0] : reason.ends[0];
        EXPECT_EQ(read(readEnd, &byte, 1), 1);
        EXPECT_EQ(byte, marks[i]);
    }
    closeAll(received->descriptors);
}

TEST(DecoderServerProtocol, AMalformedRequestIsNotWholeAndHandsOverWhatCame)
{
    struct Case {
        const char *name;
        std::size_t size;
        int descriptors;
    };
    const Case cases[] = {
        {"two descriptors", sizeof(DecodeRequest), 2},
        {"four descriptors", sizeof(DecodeRequest), 4},
        {"none", sizeof(DecodeRequest), 0},
        {"short", sizeof(DecodeRequest) - 1, 3},
        {"long", sizeof(DecodeRequest) + 8, 3},
    };
    const Pipe pipe;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SocketPair socket;
        sendRaw(socket.program(), c.size, std::vector<int>(static_cast<std::size_t>(c.descriptors), pipe.ends[1]));
        const std::optional<ReceivedRequest> received = receiveRequest(socket.server());
        ASSERT_TRUE(received.has_value());
        EXPECT_FALSE(received->whole);
        EXPECT_EQ(received->descriptors.size(), static_cast<std::size_t>(c.descriptors));
        closeAll(received->descriptors);
    }
}

TEST(DecoderServerProtocol, TheProgramsEndEndsTheRequests)
{
    SocketPair socket;
    socket.closeProgramEnd();
    EXPECT_FALSE(receiveRequest(socket.server()).has_value());
}

TEST(DecoderServerProtocol, ReportsArriveAsSentAndTheServersEndIsTold)
{
    SocketPair socket;
    const DecodeReport sent[] = {
        {0, DecodeReport::Ready, 4242},
        {1, DecodeReport::Started, 4243},
        {2, DecodeReport::NotStarted, EMFILE},
        {0xffffffffffffffffU, DecodeReport::Ended, -1},
    };
    DecodeReport report;
    EXPECT_EQ(receiveReport(socket.program(), report, ReportWait::DontWait), ReportReceived::NothingYet);
    for (const DecodeReport &message : sent)
        ASSERT_TRUE(sendReport(socket.server(), message));
    for (const DecodeReport &message : sent) {
        ASSERT_EQ(receiveReport(socket.program(), report, ReportWait::Block), ReportReceived::Report);
        EXPECT_EQ(report.id, message.id);
        EXPECT_EQ(report.kind, message.kind);
        EXPECT_EQ(report.value, message.value);
    }
    // A message that is not a report means a server that does not speak this protocol.
    sendRaw(socket.server(), sizeof(DecodeReport) - 4, {});
    EXPECT_EQ(receiveReport(socket.program(), report, ReportWait::DontWait), ReportReceived::End);
    close(socket.ends[1]);
    socket.ends[1] = -1;
    EXPECT_EQ(receiveReport(socket.program(), report, ReportWait::Block), ReportReceived::End);
    EXPECT_FALSE(sendReport(socket.program(), sent[0]));
}

} // namespace
} // namespace pagemint::decoder
