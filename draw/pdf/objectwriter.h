// The file structure of a PDF: numbered objects streamed to a sink, the cross-reference
// table and the trailer.
#pragma once

#include "sink.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pdf {

// Writes objects in any order of their numbers, remembering where each one starts, and
// ends the file with the cross-reference table. Bytes are buffered and handed to the sink
// in large pieces; a failed write is remembered and every later call does nothing.
class ObjectWriter {
public:
    explicit ObjectWriter(Sink &sink);

    // A new object number, to be written later with Begin/End or WriteObject.
    int Reserve();

    // Starts object `number` ("n 0 obj"); the caller writes its body, then calls End.
    void Begin(int number);
    void End();
    void Write(std::string_view bytes);

    // A whole object whose body is `body`.
    void WriteObject(int number, std::string_view body);
    // A stream object: `dictionary` holds the entries without << >> and without
    // /Length, `data` the stream's bytes as stored (already compressed).
    void WriteStream(int number, std::string_view dictionary, std::string_view data);

    // Bytes written so far.
    std::uint64_t Offset() const { return m_flushed + m_buffer.size(); }

    // The cross-reference table and the trailer naming `root` and `info`, then the rest
    // of the buffer to the sink. False when a write failed or a reserved object was never
    // written: the file is then unusable.
    bool Finish(int root, int info);
    bool Failed() const { return m_failed; }

private:
    void flush();

    Sink &m_sink;
    std::string m_buffer;
    std::uint64_t m_flushed = 0;
    std::vector<std::uint64_t> m_offsets; // by object number - 1; 0 = not written yet
    bool m_failed = false;
};

} // namespace pdf
