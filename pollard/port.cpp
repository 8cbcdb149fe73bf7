#include "pollard/port.h"

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace pollard {

qint64 Port::WriteNow(qintptr descriptor, bool socket, const char* data, qint64 length)
{
    qint64 done = 0;
    while (done < length) {
        const auto fd = static_cast<int>(descriptor);
        const auto left = static_cast<size_t>(length - done);
        const ssize_t n = socket ? ::send(fd, data + done, left, MSG_NOSIGNAL) : ::write(fd, data + done, left);
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break;
        }
    }
    return done;
}

}  // namespace pollard
