// Where the bytes of a PDF file go: a file descriptor, or a string in memory.
#pragma once

#include <cstddef>
#include <string>

namespace pdf {

class Sink {
public:
    virtual ~Sink() = default;
    // Writes all `size` bytes; false when they could not be written.
    virtual bool Write(const char *data, std::size_t size) = 0;
};

// Writes to an open file descriptor, which stays open and owned by the caller.
class FdSink : public Sink {
public:
    explicit FdSink(int fd) : m_fd(fd) {}
    bool Write(const char *data, std::size_t size) override;

private:
    int m_fd;
};

// Keeps the bytes in memory.
class StringSink : public Sink {
public:
    bool Write(const char *data, std::size_t size) override
    {
        bytes.append(data, size);
        return true;
    }
    std::string bytes;
};

} // namespace pdf
