#pragma once
// The fork server behind `pagemint-decoder --serve` (protocol in contract/DecoderServerProtocol.h).
// Starting a helper that maps FreeImage's 27 libraries costs about 14 ms; a fork of a process that
// has them loaded well under one. Each picture still gets its own fresh process, so a hostile
// picture can spoil nothing but its own page.

#include "contract/DecodeForm.h"

#include <functional>

namespace pagemint::decoder {

// Serves requests arriving on `socket` until it reaches end of file (or fails), then kills the
// children still running and returns 0. For each request it forks a child that moves the three
// descriptors onto stdin, stdout and stderr, closes every other descriptor, takes the helper's
// limits (address-space cap, no core file), and exits with what `decodeOne` returns; `decodeOne`
// enters what is left of the sandbox, the caller having shut the server in before (Sandbox.h).
// The server itself parses nothing from a picture.
// `decodeOne` is told what the request asked for.
using DecodeOne = std::function<int(DecodeForm form)>;
int serveDecodes(int socket, const DecodeOne &decodeOne);
// For children that make one thing whatever they are asked.
int serveDecodes(int socket, const std::function<int()> &decodeOne);

} // namespace pagemint::decoder
