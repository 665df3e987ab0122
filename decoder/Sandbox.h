#pragma once
// The confinement a helper enters before it reads a hostile picture: from then on it can only use
// the descriptors it already holds (picture on stdin, page on stdout, reason on stderr).

#include <string>

namespace pagemint::decoder {

// Call once libraries and plug-ins are loaded (they open files as they load) and while the process
// has one thread (Landlock binds only the calling thread and its later threads). Afterwards the
// process cannot open, create, rename or delete files, make sockets, start programs, trace or
// signal other processes; it can still read, write and seek what it holds, allocate, start threads
// and abort(). Returns false with the reason in `failure` if the system-call filter could not be
// loaded, or Landlock failed on a kernel that has it: the caller must then refuse to decode. A
// kernel without Landlock is not a failure.
bool enterSandbox(std::string &failure);

} // namespace pagemint::decoder
