// Fuzz target: the bitmap file reader on arbitrary file contents, then the conversion of
// what it accepts to pixels.
#include "image/bmpreader.h"
#include "image/dibpixels.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Pictures above this are read but not converted: compressed data may claim 2^28 pixels
// in a few kilobytes, and converting them would only measure memory.
constexpr std::int64_t kMaxConvertedPixels = 4 << 20;

// The input as a file: an in-memory file rewritten for every input.
const std::string &InputFile(int &fd)
{
    static int file = ::memfd_create("zentova-fuzz-bmp", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(file);
    if (file < 0)
        std::abort();
    fd = file;
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    int fd = -1;
    const std::string &path = InputFile(fd);
    if (::ftruncate(fd, 0) != 0 ||
        ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();

    DecodedPicture info, picture;
    const bool sized = ReadBmpFile(path, true, info);
    const bool read = ReadBmpFile(path, false, picture);
    // Reading the size alone and reading everything accept the same files.
    if (sized != read || info.pixelWidth != picture.pixelWidth ||
        info.pixelHeight != picture.pixelHeight)
        std::abort();
    if (!read)
        return 0;

    const std::int64_t w = picture.pixelWidth, h = picture.pixelHeight;
    if (w * h > kMaxConvertedPixels)
        return 0;
    const auto whole = DibToPixels(picture.bitmapInfo, picture.bits.data(), picture.bits.size(),
                                   0, 0, picture.pixelWidth, picture.pixelHeight);
    // A rectangle reaching past the picture is cut to it; a sampling step thins it out.
    const int u0 = picture.pixelWidth / 3, v0 = picture.pixelHeight / 2;
    const int step = 1 + picture.pixelWidth % 3;
    const auto part = DibToPixels(picture.bitmapInfo, picture.bits.data(), picture.bits.size(),
                                  u0, v0, picture.pixelWidth, picture.pixelHeight, step);
    if (static_cast<std::int64_t>(whole.size()) != w * h ||
        static_cast<std::int64_t>(part.size()) !=
            SampledSize(w - u0, step) * SampledSize(h - v0, step))
        std::abort();
    return 0;
}
