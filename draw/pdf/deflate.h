// zlib compression of stream data.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace pdf {

// Level 1 is the fastest; content streams of ruled forms lose little against level 6.
inline constexpr int kFastDeflate = 1;

// Appends `data` compressed in the zlib format (what /FlateDecode reads) to `out`.
void DeflateAppend(std::string_view data, int level, std::string &out);

// Compresses data handed over in pieces, passing compressed pieces on as they come, so a
// large picture is never held twice in memory.
class DeflateStream {
public:
    using Output = std::function<void(std::string_view)>;
    DeflateStream(int level, Output output);
    ~DeflateStream();
    DeflateStream(const DeflateStream &) = delete;
    DeflateStream &operator=(const DeflateStream &) = delete;

    void Add(std::string_view data);
    // Flushes the rest; no Add after it.
    void Finish();

private:
    void run(int flush);

    struct State;
    std::unique_ptr<State> m_state;
    Output m_output;
};

} // namespace pdf
