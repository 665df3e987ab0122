#pragma once
// The program's side of `pagemint-decoder --serve` (contract/DecoderServerProtocol.h): one server
// per program, started on first use, which forks a fresh, sandboxed child per picture. When no
// server can be had (it will not start, or keeps dying) the callers start the helper program
// per picture instead, so no picture depends on the server.

#include "contract/DecodeForm.h"

#include <QString>

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>

namespace pagemint {

// What the program knows of one child of the server.
struct ServedChild {
    pid_t pid = 0;      // once started
    bool ended = false; // reaped by the server; waitStatus then holds its wait status
    int waitStatus = 0;
    bool lost = false; // not started, or the server died before the child's end was heard
};

class DecoderServer {
public:
    // The one server of this program, for decoderPath().
    static DecoderServer &instance();
    ~DecoderServer();

    // Hands the three descriptors (picture, page, reason pipe) to a new child that writes `form`;
    // none when there is no server to be had. The caller may close its descriptors afterwards.
    std::optional<std::uint64_t> launch(int picture, int page, int reason,
                                        decoder::DecodeForm form = decoder::DecodeForm::Page);
    // Takes in what the server has said; never blocks.
    void readReports();
    // Waits up to `timeout` for the server to say something; returns at once when there is none.
    void waitForReports(std::chrono::milliseconds timeout);
    // Null for an id it does not know.
    const ServedChild *child(std::uint64_t id) const;
    void forget(std::uint64_t id);
    // Kills every child and the server now, for the program's end; the next launch starts anew.
    void end();
    // The running server's pid, 0 when none (for tests).
    pid_t serverPid() const { return pid_; }

private:
    DecoderServer() = default;
    bool ensureRunning();
    bool start(const QString &program);
    void serverGone();

    int socket_ = -1;
    pid_t pid_ = 0;
    QString program_;  // the helper it was started from
    int failures_ = 0; // starts that failed and deaths, for program_
    std::uint64_t nextId_ = 1;
    std::map<std::uint64_t, ServedChild> children_;
};

} // namespace pagemint
