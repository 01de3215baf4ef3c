// Where the bytes of a PDF file go.
#include "sink.h"

#include <cerrno>
#include <unistd.h>

namespace pdf {

bool FdSink::Write(const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace pdf
