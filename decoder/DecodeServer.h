#pragma once
// The fork server behind `pagemint-decoder --serve` (protocol in contract/DecoderServerProtocol.h).
// Starting a helper that maps FreeImage's 27 libraries costs about 14 ms; a fork of a process that
// has them loaded well under one. Each picture still gets its own fresh process, so a hostile
// picture can spoil nothing but its own page.

#include <functional>

namespace pagemint::decoder {

// Decodes the picture on stdin to the page on stdout; returns the exit code.
using DecodeOne = std::function<int()>;
// Runs in each child before its picture arrives (it enters the sandbox there) and returns the
// decode to run once the picture is handed over.
using PrepareDecode = std::function<DecodeOne()>;

// Serves requests arriving on `socket` until it reaches end of file (or fails), then kills the
// children still running and returns 0. One child is always forked ahead, so a request finds a
// process that has already taken the helper's limits (address-space cap, no core file) and run
// `prepare`: the fork and the sandbox cost nothing while a picture waits. The request's three
// descriptors go to that child, which moves them onto stdin, stdout and stderr, closes every
// other descriptor and exits with what the prepared decode returns; then the next child is forked.
// The server itself parses nothing from a picture.
int serveDecodes(int socket, const PrepareDecode &prepare);

} // namespace pagemint::decoder
