#pragma once
// Whether the user has asked to end the program or the running job, seen by every part that
// waits or loops.

namespace pagemint {

// True once the user has asked to end the program; only then does the engine window really close,
// and every wait, scan and job stops at its next check.
inline bool exitRequested = false;

// True once the user has cancelled the running job (Esc, 取消转换): its decoders, converter and
// copies stop at their next check as they do for the end of the program, but the windows stay.
// The job clears it when it has wound down.
inline bool jobCancelRequested = false;

// Whether the work of a job should stop now: the program is ending or the job was cancelled.
inline bool jobStopRequested()
{
    return exitRequested || jobCancelRequested;
}

} // namespace pagemint
