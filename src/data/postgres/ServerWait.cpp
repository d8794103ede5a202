#include "data/postgres/ServerWait.h"

#include <QDeadlineTimer>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <cerrno>
#include <poll.h>
#endif

namespace ServerWait {

bool readable(int socket, int milliseconds) {
    const QDeadlineTimer deadline(milliseconds);
    for (;;) {
        const int left = static_cast<int>(qMax<qint64>(0, deadline.remainingTime()));
#ifdef _WIN32
        WSAPOLLFD entry{static_cast<SOCKET>(socket), POLLRDNORM, 0};
        const int ready = WSAPoll(&entry, 1, left);
        const bool interrupted = false;
#else
        pollfd entry{socket, POLLIN, 0};
        const int ready = ::poll(&entry, 1, left);
        // A signal cuts the wait short; the rest of it is waited again.
        const bool interrupted = ready < 0 && errno == EINTR;
#endif
        // A failed wait is left to the session to find out about when it reads.
        if (ready != 0 && !interrupted)
            return true;
        if (ready == 0 || deadline.hasExpired())
            return false;
    }
}

} // namespace ServerWait
