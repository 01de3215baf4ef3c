// zlib compression of stream data.
#include "deflate.h"

#include <algorithm>

#include <zlib.h>

namespace pdf {

struct DeflateStream::State {
    z_stream z{};
    char buffer[64 * 1024];
};

void DeflateAppend(std::string_view data, int level, std::string &out)
{
    const std::size_t start = out.size();
    uLongf length = compressBound(static_cast<uLong>(data.size()));
    out.resize(start + length);
    compress2(reinterpret_cast<Bytef *>(out.data() + start), &length,
              reinterpret_cast<const Bytef *>(data.data()), static_cast<uLong>(data.size()),
              level);
    out.resize(start + length);
}

DeflateStream::DeflateStream(int level, Output output)
    : m_state(std::make_unique<State>()), m_output(std::move(output))
{
    deflateInit(&m_state->z, level);
}

DeflateStream::~DeflateStream()
{
    deflateEnd(&m_state->z);
}

void DeflateStream::run(int flush)
{
    z_stream &z = m_state->z;
    do {
        z.next_out = reinterpret_cast<Bytef *>(m_state->buffer);
        z.avail_out = sizeof m_state->buffer;
        deflate(&z, flush);
        const std::size_t produced = sizeof m_state->buffer - z.avail_out;
        if (produced > 0)
            m_output(std::string_view(m_state->buffer, produced));
    } while (z.avail_out == 0);
}

void DeflateStream::Add(std::string_view data)
{
    // zlib counts in 32 bits: hand over at most 1 GB at a time.
    while (!data.empty()) {
        const std::size_t piece = std::min<std::size_t>(data.size(), 1u << 30);
        m_state->z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
        m_state->z.avail_in = static_cast<uInt>(piece);
        run(Z_NO_FLUSH);
        data.remove_prefix(piece);
    }
}

void DeflateStream::Finish()
{
    m_state->z.avail_in = 0;
    run(Z_FINISH);
}

} // namespace pdf
