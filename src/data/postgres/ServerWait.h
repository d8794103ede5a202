#pragma once

// Waiting on a server session's socket with a time limit, on every system the program runs on.
namespace ServerWait {

// True when the socket has something to read (or has been closed, or the wait failed) within
// `milliseconds`; false when it stays silent that long.
bool readable(int socket, int milliseconds);

} // namespace ServerWait
