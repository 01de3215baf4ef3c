// Writing 24-bit bitmaps for the tests.
#include "bmpfile.h"

namespace {

void put16(std::string &out, unsigned v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string &out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

std::string Bmp24(int width, int height, const std::function<std::uint32_t(int, int)> &color)
{
    const std::uint32_t row = (static_cast<std::uint32_t>(width) * 3 + 3) / 4 * 4;
    const std::uint32_t size = row * static_cast<std::uint32_t>(height);
    std::string out;
    out += "BM";
    put32(out, 54 + size);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));
    put16(out, 1);
    put16(out, 24);
    for (int i = 0; i < 6; ++i)
        put32(out, i == 1 ? size : 0);
    for (int y = height - 1; y >= 0; --y) {
        std::string line;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = color ? color(x, y) : 0xFFFFFF;
            line += static_cast<char>(c & 0xFF);
            line += static_cast<char>((c >> 8) & 0xFF);
            line += static_cast<char>((c >> 16) & 0xFF);
        }
        line.resize(row, '\0');
        out += line;
    }
    return out;
}
