#pragma once
// How the program talks to `pagemint-decoder --serve`: the server has FreeImage loaded once and
// forks a fresh child per picture, which takes its limits, enters the sandbox and decodes from the
// descriptors it was handed. Both programs send and receive through the functions below, so the
// message is built in one place. POSIX and the standard library only.
//
// The server's standard input is one end of a SOCK_SEQPACKET Unix socket pair; each message is
// one of the fixed-size records below, in the machine's own byte order (both ends run on it).
//   program -> server  DecodeRequest, with three descriptors (SCM_RIGHTS): the picture (read),
//                      the page (write) and the write end of a pipe for the reason line; they
//                      become the child's stdin, stdout and stderr. The request says whether the
//                      child writes the page or a thumbnail (DecodeForm.h).
//   server -> program  first DecodeReport Ready (its own pid) once FreeImage is loaded; a
//                      program that hears nothing decodes without the server. Per request:
//                      DecodeReport Started (the child's pid) or NotStarted (errno), then for a
//                      started child Ended with its wait status once the server has reaped it.
// The server never reads the descriptors' contents. End of file on the socket ends the server
// and kills its children; a child dies with the server (PR_SET_PDEATHSIG).

#include "DecodeForm.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace pagemint::decoder {

inline constexpr const char *kServeArgument = "--serve";
inline constexpr int kDescriptorsPerRequest = 3; // picture, page, reason pipe

struct DecodeRequest {
    std::uint64_t id = 0; // chosen by the program, echoed in the reports
    DecodeForm form = DecodeForm::Page;
};

struct DecodeReport {
    enum Kind : std::int32_t { Ready = 0, Started = 1, NotStarted = 2, Ended = 3 };
    std::uint64_t id = 0;
    std::int32_t kind = Started;
    std::int32_t value = 0; // Ready: the server's pid; Started: pid; NotStarted: errno; Ended: wait status
};

using RequestDescriptors = std::array<int, kDescriptorsPerRequest>; // picture, page, reason pipe

// Sends one request with its descriptors (which stay the caller's to close); false, with errno
// set, if the socket did not take it whole. Never raises SIGPIPE.
bool sendRequest(int socket, std::uint64_t id, const RequestDescriptors &descriptors,
                 DecodeForm form = DecodeForm::Page);

// One request as it arrived. The descriptors are close-on-exec and the receiver's to close.
struct ReceivedRequest {
    DecodeRequest request;
    std::vector<int> descriptors; // in the order sent
    // False for a message of the wrong size, with cut control data, without exactly three
    // descriptors or of an unknown form: the server answers NotStarted instead of leaving the
    // program waiting.
    bool whole = false;
};

// Waits for the next request; nothing at end of file or when the socket fails.
std::optional<ReceivedRequest> receiveRequest(int socket);

// Sends one report; false if the program is gone (never raises SIGPIPE).
bool sendReport(int socket, const DecodeReport &report);

enum class ReportWait { Block, DontWait };
enum class ReportReceived { Report, NothingYet, End };

// Receives one report into `report`. NothingYet only with DontWait; End at end of file, when the
// socket fails, or for a message that is not a report.
ReportReceived receiveReport(int socket, DecodeReport &report, ReportWait wait);

} // namespace pagemint::decoder
