// Bitmap files: header checks against the real file length, then at most the file's own
// bytes are read.
#include "image/bmpreader.h"

#include "image/dibheader.h"

#include "engine/filepaths.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace {

constexpr std::int64_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;

struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool ReadAt(std::FILE *f, std::int64_t offset, unsigned char *to, std::size_t count)
{
    return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0
           && std::fread(to, 1, count, f) == count;
}

} // namespace

bool ReadBmpFile(const std::string &path, bool infoOnly, DecodedPicture &picture)
{
    picture.Clear();
    File file(OpenRegularFile(path));
    struct stat status {};
    if (!file || fstat(fileno(file.get()), &status) != 0)
        return false;
    const std::int64_t fileLength = status.st_size;

    // The file header and the first 4 bytes of the information header decide the kind.
    unsigned char head[kFileHeaderSize + dib::kInfoHeaderSize] = {};
    if (fileLength < kFileHeaderSize + 4 || !ReadAt(file.get(), 0, head, kFileHeaderSize + 4))
        return false;
    std::int64_t fileSize = dib::ReadU32(head + 2); // bfSize
    const std::int64_t bitsOffset = dib::ReadU32(head + 10);
    const std::uint32_t headerSize = dib::ReadU32(head + 14);

    dib::InfoHeader header;
    const bool os2 = headerSize == kCoreHeaderSize;
    if (headerSize == dib::kInfoHeaderSize) {
        if (fileLength < kFileHeaderSize + static_cast<std::int64_t>(dib::kInfoHeaderSize)
            || !ReadAt(file.get(), kFileHeaderSize, head + kFileHeaderSize, dib::kInfoHeaderSize))
            return false;
        header = dib::ReadInfoHeader(head + kFileHeaderSize);
    } else if (os2) {
        if (fileLength < kFileHeaderSize + kCoreHeaderSize
            || !ReadAt(file.get(), kFileHeaderSize, head + kFileHeaderSize, kCoreHeaderSize))
            return false;
        header.width = dib::ReadU16(head + 18);
        header.height = dib::ReadU16(head + 20);
        header.planes = dib::ReadU16(head + 22);
        header.bitCount = dib::ReadU16(head + 24);
        fileSize = fileLength; // OS/2 files' own size field is not trusted
    } else {
        return false;
    }
    if (!dib::IsDrawable(header))
        return false;
    if (os2) // fits: the drawable check bounds the pixel count
        header.sizeImage = static_cast<std::uint32_t>(
            dib::RowStride(header.bitCount, header.width) * header.height);

    // The colour table: 2^bitCount entries right after the header. The file must hold the
    // entries it declares (biClrUsed of them when fewer); entries past its end read as 0.
    const std::size_t colours = dib::ColourCount(header.bitCount);
    const std::size_t declared =
        header.clrUsed > 0 && header.clrUsed < colours ? header.clrUsed : colours;
    const std::size_t entrySize = os2 ? 3 : 4;
    const std::int64_t tableStart = kFileHeaderSize + headerSize;
    if (tableStart + static_cast<std::int64_t>(declared * entrySize) > fileLength)
        return false;
    std::vector<unsigned char> info(dib::BitmapInfoSize(header.bitCount), 0);
    dib::WriteInfoHeader(info.data(), header);
    if (colours > 0) {
        std::vector<unsigned char> table(colours * entrySize, 0);
        const std::size_t present = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(table.size()), fileLength - tableStart));
        if (!ReadAt(file.get(), tableStart, table.data(), present))
            return false;
        for (std::size_t i = 0; i < colours; ++i)
            for (std::size_t c = 0; c < 3; ++c)
                info[dib::kInfoHeaderSize + 4 * i + c] = table[entrySize * i + c];
    }

    // The pixel data: from bfOffBits to the file's claimed end, or to its real end when it
    // claims more (some writers count bytes they never wrote); what is there must still
    // hold every pixel.
    fileSize = std::min(fileSize, fileLength);
    if (bitsOffset < tableStart || bitsOffset >= fileSize)
        return false;
    const std::int64_t bitsSize = fileSize - bitsOffset;
    if (!dib::HoldsPixels(header, bitsSize))
        return false;
    if (!infoOnly) {
        picture.bits.resize(static_cast<std::size_t>(bitsSize));
        if (!ReadAt(file.get(), bitsOffset, picture.bits.data(), picture.bits.size())) {
            picture.Clear();
            return false;
        }
    }
    picture.bitmapInfo = std::move(info);
    picture.pixelWidth = header.width;
    picture.pixelHeight = header.height;
    return true;
}
